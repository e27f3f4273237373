// A PE file's certificate table read with OpenSSL (host build): its PKCS #7
// SignedData, the SpcIndirectDataContent's digest held against the file's
// own, the signer's signature, its time stamp and nested signatures. No
// certificate chain is judged: which roots a given Windows trusts is not
// known here.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "check/read/program_facts.h"

// Past this a certificate table is not read (real ones hold a few KiB).
constexpr std::uint32_t kMaxCertificateTable = 1024 * 1024;

// The digest algorithms (OpenSSL NIDs) that the table's signatures, nested
// ones included, hashed the file with; empty when none can be read.
std::vector<int> SignedDigestAlgorithms(const std::string& table);

// The facts the table gives; `digests` holds the file's Authenticode digest
// by NID, for the algorithms SignedDigestAlgorithms named.
SignatureFacts ReadSignatureTable(const std::string& table,
                                  const std::map<int, std::string>& digests);
