// A program read once, in order, with memory bounded by a buffer: its
// headers window gives what it is and where its certificate table lies; the
// bytes up to the table are hashed as they pass, and the table is kept
// (bounded). Which digest algorithm the signature used is only known from
// the table: where the file can seek, the table is read first and only that
// algorithm is computed; where it cannot (ISO 9660 files of a disc image,
// read in order), SHA-256 and SHA-1 are computed together, and a rarer
// algorithm takes a second pass.
#include "check/read/program_reader.h"

#include <openssl/obj_mac.h>

#include <algorithm>
#include <vector>

#include "check/read/authenticode_digest.h"
#include "check/read/authenticode_signature.h"
#include "check/read/program_identity.h"

namespace {

constexpr std::size_t kChunk = 256 * 1024;

// Feeds the stream's bytes after the headers to `digest` up to the table,
// and keeps the table when `table` is given; false on a read error.
bool HashRest(FileStream& stream, const ProgramLayout& layout, std::uint64_t from,
              AuthenticodeDigest& digest, std::string* table) {
  std::vector<char> chunk(kChunk);
  const std::uint64_t tableEnd = std::uint64_t{layout.tableAt} + layout.tableSize;
  const std::uint64_t end = table == nullptr ? layout.tableAt : tableEnd;
  for (std::uint64_t at = from; at < end;) {
    std::size_t got = 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, end - at));
    if (!stream.Next(chunk.data(), want, got)) return false;
    if (got == 0) break;
    digest.Feed(at, chunk.data(), got);
    if (table != nullptr && at + got > layout.tableAt) {
      const std::uint64_t start = std::max<std::uint64_t>(at, layout.tableAt);
      table->append(chunk.data() + (start - at), static_cast<std::size_t>(at + got - start));
    }
    at += got;
  }
  return true;
}

// The digests in `algorithms`, from a second opening of the file.
std::map<int, std::string> SecondPass(const MediumTree& medium, const std::string& file,
                                      const ProgramLayout& layout,
                                      const std::vector<int>& algorithms) {
  const std::unique_ptr<FileStream> again = medium.Open(file);
  if (again == nullptr) return {};
  AuthenticodeDigest digest(layout, algorithms);
  if (!HashRest(*again, layout, 0, digest, nullptr)) return {};
  return digest.Finish();
}

SignatureFacts Unreadable(std::string problem) {
  SignatureFacts facts;
  facts.embedded = true;
  facts.problem = std::move(problem);
  return facts;
}

SignatureFacts ReadSignature(const MediumTree& medium, const std::string& file, FileStream& stream,
                             const std::string& headers, const ProgramLayout& layout) {
  const std::uint64_t size = stream.Size();
  const std::uint64_t tableEnd = std::uint64_t{layout.tableAt} + layout.tableSize;
  if (layout.tableSize < 8 || layout.tableAt < layout.certificateEntryAt + 8 || tableEnd > size) {
    return Unreadable("its certificate table's entry points outside the file");
  }
  if (layout.tableSize > kMaxCertificateTable) {
    return Unreadable("its certificate table is larger than 1 MiB and was not read");
  }
  std::string table;
  std::unique_ptr<SignatureTable> parsed;
  std::vector<int> algorithms = {NID_sha256, NID_sha1};
  if (stream.CanSeek()) {
    table.resize(layout.tableSize);
    if (!stream.ReadAt(layout.tableAt, table.data(), table.size())) {
      return Unreadable("its certificate table cannot be read");
    }
    parsed = std::make_unique<SignatureTable>(table);
    algorithms = parsed->DigestAlgorithms();
  }
  AuthenticodeDigest digest(layout, algorithms);
  digest.Feed(0, headers.data(), headers.size());
  std::string* const keep = stream.CanSeek() ? nullptr : &table;
  if (!HashRest(stream, layout, headers.size(), digest, keep)) {
    return Unreadable("the file cannot be read to its end");
  }
  if (keep != nullptr && layout.tableAt < headers.size()) {
    table.insert(0, headers, layout.tableAt,
                 static_cast<std::size_t>(std::min<std::uint64_t>(headers.size(), tableEnd) -
                                          layout.tableAt));
  }
  std::map<int, std::string> digests = digest.Finish();
  if (parsed == nullptr) parsed = std::make_unique<SignatureTable>(table);
  std::vector<int> missing;
  for (const int nid : parsed->DigestAlgorithms()) {
    if (digests.count(nid) == 0) missing.push_back(nid);
  }
  if (!missing.empty()) digests.merge(SecondPass(medium, file, layout, missing));
  SignatureFacts facts = parsed->Facts(digests);
  // The digest covers the file up to the table; Windows also hashes what
  // follows it, so a table that does not end the file is not intact.
  if (facts.embedded && tableEnd != size) {
    facts.intact = false;
    facts.problem = std::to_string(size - tableEnd) + " bytes follow the certificate table";
  }
  return facts;
}

}  // namespace

ProgramFacts ReadProgram(const MediumTree& medium, const std::string& file, FileStream* stream) {
  ProgramFacts facts;
  if (stream == nullptr) return facts;
  std::string headers;
  ProgramLayout layout;
  facts.identity = ReadProgramIdentity(*stream, headers, layout);
  if (facts.identity.kind != ProgramKind::Windows || !facts.identity.malformed.empty() ||
      !layout.hasCertificateEntry || (layout.tableAt == 0 && layout.tableSize == 0)) {
    return facts;
  }
  facts.signature = ReadSignature(medium, file, *stream, headers, layout);
  return facts;
}
