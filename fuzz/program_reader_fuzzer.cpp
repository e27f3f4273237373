// Fuzzes the checker's reading of a program (its identity from the headers,
// its Authenticode signature) with the input as the file: read once as a
// folder's file (which seeks: the table first) and once as a disc image's
// ISO 9660 file (in order only), the two readings must agree, and neither
// may crash or hang. Seeded with programs signed at each run
// (fuzz/program-seeds.sh).
#include <cstring>
#include <string>

#include "check/read/medium_tree.h"
#include "check/read/program_reader.h"
#include "fuzz/fuzz_support.h"

namespace {

class MemoryFile final : public FileStream {
 public:
  MemoryFile(const std::string& bytes, bool seekable) : bytes_(bytes), seekable_(seekable) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Next(char* buffer, std::size_t size, std::size_t& got) override {
    got = std::min(size, bytes_.size() - position_);
    if (got > 0) std::memcpy(buffer, bytes_.data() + position_, got);
    position_ += got;
    return true;
  }
  bool CanSeek() const override { return seekable_; }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (!seekable_ || offset > bytes_.size() || size > bytes_.size() - offset) return false;
    std::memcpy(buffer, bytes_.data() + offset, size);
    return true;
  }

 private:
  const std::string& bytes_;
  bool seekable_;
  std::size_t position_ = 0;
};

// A medium of one file.
class OneFile final : public MediumTree {
 public:
  OneFile(const std::string& bytes, bool seekable) : bytes_(bytes), seekable_(seekable) {}
  bool List(const std::string&, std::vector<TreeEntry>& entries) const override {
    entries = {{"program.exe", EntryKind::File}};
    return true;
  }
  bool ReadStart(const std::string&, std::size_t, std::string&, bool&) const override {
    return false;
  }
  std::unique_ptr<FileStream> Open(const std::string&) const override {
    return std::make_unique<MemoryFile>(bytes_, seekable_);
  }

 private:
  const std::string& bytes_;
  bool seekable_;
};

ProgramFacts Read(const std::string& bytes, bool seekable) {
  const OneFile medium(bytes, seekable);
  const std::unique_ptr<FileStream> stream = medium.Open("program.exe");
  return ReadProgram(medium, "program.exe", stream.get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const ProgramFacts folder = Read(bytes, true);
  const ProgramFacts image = Read(bytes, false);
  Require(folder.identity.kind == image.identity.kind &&
              folder.identity.malformed == image.identity.malformed &&
              folder.identity.machine == image.identity.machine,
          "both readings find the same program");
  const SignatureFacts& a = folder.signature;
  const SignatureFacts& b = image.signature;
  Require(a.embedded == b.embedded && a.intact == b.intact && a.verified == b.verified &&
              a.digestAlgorithm == b.digestAlgorithm && a.timeStamp == b.timeStamp &&
              a.timeStampTime == b.timeStampTime && a.signer == b.signer &&
              a.signatures == b.signatures,
          "both readings find the same signature");
  Require(!a.intact || a.embedded, "only a signature can be intact");
  Require(folder.identity.kind != ProgramKind::Windows || !folder.identity.malformed.empty() ||
              folder.identity.machine != 0 || size >= 0x40,
          "a sound PE header gives its machine");
  return 0;
}
