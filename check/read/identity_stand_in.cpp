// A program file's identity from its headers: MZ, then the new header's
// signature (PE, NE, LE or LX) at e_lfanew, and for PE its machine, library
// flag, optional header's kind and subsystem. Every field is read through
// one bounded read that fails unless all of it is there.
#include "check/read/identity_stand_in.h"

#include <windows.h>

#include <cstring>

#include "platform/owners.h"

namespace {

constexpr unsigned char kCompoundFile[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

class FileBytes {
 public:
  explicit FileBytes(HANDLE file) : file_(file) {}
  // False unless all `size` bytes at `offset` were read.
  bool Read(std::uint32_t offset, void* buffer, DWORD size) const {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD read = 0;
    return SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) &&
           ReadFile(file_, buffer, size, &read, nullptr) && read == size;
  }
  std::uint16_t Word(std::uint32_t offset, bool& ok) const {
    unsigned char bytes[2] = {};
    ok = ok && Read(offset, bytes, 2);
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
  }

 private:
  HANDLE file_;
};

}  // namespace

ProgramIdentity ReadIdentityStandIn(const wchar_t* path) {
  ProgramIdentity identity;
  const UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.IsValid()) return identity;
  const FileBytes bytes(file.Get());
  unsigned char start[8] = {};
  if (!bytes.Read(0, start, 2) || start[0] != 'M' || start[1] != 'Z') {
    const bool compound = bytes.Read(0, start, 8) && std::memcmp(start, kCompoundFile, 8) == 0;
    identity.kind = compound ? ProgramKind::InstallerPackage : ProgramKind::NotAProgram;
    return identity;
  }
  identity.kind = ProgramKind::Dos;
  unsigned char offset[4] = {};
  if (!bytes.Read(60, offset, 4)) return identity;
  const std::uint32_t header =
      static_cast<std::uint32_t>(offset[0] | offset[1] << 8 | offset[2] << 16) |
      static_cast<std::uint32_t>(offset[3]) << 24;
  char signature[4] = {};
  if (header < 64 || !bytes.Read(header, signature, 4)) return identity;
  if (std::memcmp(signature, "NE", 2) == 0) identity.kind = ProgramKind::Windows16;
  if (std::memcmp(signature, "LE", 2) == 0 || std::memcmp(signature, "LX", 2) == 0) {
    identity.kind = ProgramKind::Linear;
  }
  if (std::memcmp(signature, "PE\0\0", 4) != 0) return identity;
  identity.kind = ProgramKind::Windows;
  bool ok = true;
  identity.machine = bytes.Word(header + 4, ok);
  identity.library = (bytes.Word(header + 22, ok) & IMAGE_FILE_DLL) != 0;
  const std::uint16_t magic = bytes.Word(header + 24, ok);
  identity.pe32Plus = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
  identity.subsystem = bytes.Word(header + 24 + 68, ok);
  if (!ok) identity.malformed = "its headers are cut short";
  return identity;
}
