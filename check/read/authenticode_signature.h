// A PE file's certificate table read with OpenSSL (host build): its PKCS #7
// SignedData, the SpcIndirectDataContent's digest held against the file's
// own, the signer's signature, its time stamp and nested signatures. No
// certificate chain is judged: which roots a given Windows trusts is not
// known here.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "check/read/program_facts.h"

// Past this a certificate table is not read (real ones hold a few KiB).
constexpr std::uint32_t kMaxCertificateTable = 1024 * 1024;

// A certificate table, parsed once.
class SignatureTable {
 public:
  explicit SignatureTable(const std::string& table);
  ~SignatureTable();
  SignatureTable(const SignatureTable&) = delete;
  SignatureTable& operator=(const SignatureTable&) = delete;

  // The digest algorithms (OpenSSL NIDs) that the signatures, nested ones
  // included, hashed the file with; empty when none can be read.
  std::vector<int> DigestAlgorithms() const;
  // The facts the table gives; `digests` holds the file's Authenticode
  // digest by NID, for the algorithms DigestAlgorithms named.
  SignatureFacts Facts(const std::map<int, std::string>& digests) const;

 private:
  struct Parsed;
  std::unique_ptr<Parsed> parsed_;
};
