// What a program file is, read from its first bytes as CreateProcess and the
// loader read them: MZ, then e_lfanew to a PE, NE, LE or LX header; a
// compound file is an installer package. Every field is read through one
// bounded view of the headers, so that a file cut short, an offset past its
// end or an absurd count gives a reason, never a read out of bounds.
#pragma once

#include <cstdint>
#include <string>

#include "check/read/file_stream.h"
#include "check/read/program_facts.h"

// How much of a file's start holds the headers judged here: a PE header
// past it is reported, not looked for.
constexpr std::size_t kHeadersWindow = 64 * 1024;

// Where a PE file keeps what its Authenticode digest leaves out.
struct ProgramLayout {
  std::uint64_t checksumAt = 0;          // the optional header's CheckSum
  std::uint64_t certificateEntryAt = 0;  // the certificate table's data directory entry
  bool hasCertificateEntry = false;      // the header has a fifth data directory
  std::uint32_t tableAt = 0;             // the table: a file offset, not an address
  std::uint32_t tableSize = 0;
};

// `headers` holds the file's first bytes (all of it when it is smaller than
// kHeadersWindow); `fileSize` is the whole file's.
ProgramIdentity ReadProgramIdentity(const std::string& headers, std::uint64_t fileSize,
                                    ProgramLayout& layout);

// The same, from a stream's first kHeadersWindow bytes, which are left in
// `headers`; Unreadable when they cannot be read.
ProgramIdentity ReadProgramIdentity(FileStream& stream, std::string& headers,
                                    ProgramLayout& layout);
