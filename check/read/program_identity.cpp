// The headers of a program file, read as Microsoft's "PE Format" lays them
// out (the MS-DOS stub's e_lfanew at 0x3C, the COFF file header, the
// optional header and its data directories, the section table), through a
// view that refuses every read past what the file holds.
#include "check/read/program_identity.h"

#include <cstring>

namespace {

constexpr std::uint16_t kPe32 = 0x10B;
constexpr std::uint16_t kPe32Plus = 0x20B;
constexpr std::uint16_t kDll = 0x2000;
// "the Windows loader limits the number of sections to 96" (PE Format).
constexpr std::uint16_t kMaxSections = 96;
constexpr std::uint32_t kCertificateDirectory = 4;
constexpr unsigned char kCompoundFile[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// The headers' bytes, bounded twice: by what was read of the file and by the
// file's own size, so that a reason can say which was passed.
class HeaderView {
 public:
  HeaderView(const std::string& bytes, std::uint64_t fileSize)
      : bytes_(bytes), fileSize_(fileSize) {}

  bool Has(std::uint64_t offset, std::uint64_t size) const {
    return offset <= bytes_.size() && size <= bytes_.size() - offset;
  }
  // Why `size` bytes at `offset` cannot be read: past the file, or past the
  // window of headers.
  std::string Past(std::uint64_t offset, std::uint64_t size, const char* what) const {
    if (offset > fileSize_ || size > fileSize_ - offset) {
      return std::string("the file is cut short: ") + what + " runs past its end";
    }
    return std::string(what) + " lies past the first 64 KiB, where headers belong";
  }
  std::uint16_t U16(std::uint64_t at) const {
    return static_cast<std::uint16_t>(Byte(at) | Byte(at + 1) << 8);
  }
  std::uint32_t U32(std::uint64_t at) const {
    return std::uint32_t{U16(at)} | std::uint32_t{U16(at + 2)} << 16;
  }
  bool Matches(std::uint64_t at, const void* expected, std::size_t size) const {
    return Has(at, size) && std::memcmp(bytes_.data() + at, expected, size) == 0;
  }

 private:
  // Callers check Has first; a byte outside reads as 0 all the same.
  unsigned Byte(std::uint64_t at) const {
    return at < bytes_.size() ? static_cast<unsigned char>(bytes_[static_cast<std::size_t>(at)])
                              : 0U;
  }
  const std::string& bytes_;
  std::uint64_t fileSize_;
};

// The PE headers past the signature; `at` is e_lfanew.
void ReadPe(const HeaderView& view, std::uint64_t fileSize, std::uint64_t at,
            ProgramIdentity& identity, ProgramLayout& layout) {
  identity.kind = ProgramKind::Windows;
  const std::uint64_t fileHeader = at + 4;
  if (!view.Has(fileHeader, 20)) {
    identity.malformed = view.Past(fileHeader, 20, "the COFF file header");
    return;
  }
  identity.machine = view.U16(fileHeader);
  const std::uint16_t sections = view.U16(fileHeader + 2);
  const std::uint16_t optionalSize = view.U16(fileHeader + 16);
  identity.library = (view.U16(fileHeader + 18) & kDll) != 0;
  const std::uint64_t optional = fileHeader + 20;
  if (!view.Has(optional, 2) || optionalSize < 2) {
    identity.malformed = "the optional header is missing or cut short";
    return;
  }
  const std::uint16_t magic = view.U16(optional);
  if (magic != kPe32 && magic != kPe32Plus) {
    identity.malformed = "the optional header's magic is neither PE32 nor PE32+";
    return;
  }
  identity.pe32Plus = magic == kPe32Plus;
  const std::uint64_t directories = optional + (identity.pe32Plus ? 112 : 96);
  const std::uint64_t fixedSize = directories - optional;
  if (optionalSize < fixedSize || !view.Has(optional, fixedSize)) {
    identity.malformed = optionalSize < fixedSize
                             ? "SizeOfOptionalHeader is smaller than the optional header"
                             : view.Past(optional, fixedSize, "the optional header");
    return;
  }
  identity.subsystem = view.U16(optional + 68);
  layout.checksumAt = optional + 64;
  const std::uint32_t directoryCount = view.U32(directories - 4);
  if (directoryCount > (optionalSize - fixedSize) / 8) {
    identity.malformed = "NumberOfRvaAndSizes (" + std::to_string(directoryCount) +
                         ") names more data directories than the optional header holds";
    return;
  }
  if (sections == 0 || sections > kMaxSections) {
    identity.malformed =
        "the file header counts " + std::to_string(sections) + " sections (Windows loads 1 to 96)";
    return;
  }
  const std::uint64_t sectionTable = optional + optionalSize;
  const std::uint64_t sectionTableSize = std::uint64_t{sections} * 40;
  if (!view.Has(sectionTable, sectionTableSize)) {
    identity.malformed = view.Past(sectionTable, sectionTableSize, "the section table");
    return;
  }
  const std::uint32_t headersSize = view.U32(optional + 60);
  if (headersSize > fileSize || headersSize < sectionTable + sectionTableSize) {
    identity.malformed = "SizeOfHeaders (" + std::to_string(headersSize) +
                         ") does not cover the headers or passes the file's end";
    return;
  }
  for (std::uint16_t section = 0; section < sections; ++section) {
    const std::uint64_t entry = sectionTable + std::uint64_t{section} * 40;
    const std::uint64_t size = view.U32(entry + 16), start = view.U32(entry + 20);
    if (size != 0 && start + size > fileSize) {
      identity.malformed = "the file is cut short: section " + std::to_string(section + 1) +
                           "'s data runs past its end";
      return;
    }
  }
  if (directoryCount <= kCertificateDirectory) return;
  layout.hasCertificateEntry = true;
  layout.certificateEntryAt = directories + kCertificateDirectory * 8;
  layout.tableAt = view.U32(layout.certificateEntryAt);
  layout.tableSize = view.U32(layout.certificateEntryAt + 4);
}

}  // namespace

ProgramIdentity ReadProgramIdentity(const std::string& headers, std::uint64_t fileSize,
                                    ProgramLayout& layout) {
  layout = ProgramLayout();
  ProgramIdentity identity;
  const HeaderView view(headers, fileSize);
  if (view.Matches(0, kCompoundFile, sizeof kCompoundFile)) {
    identity.kind = ProgramKind::InstallerPackage;
    return identity;
  }
  if (!view.Matches(0, "MZ", 2)) {
    identity.kind = ProgramKind::NotAProgram;
    return identity;
  }
  // An MS-DOS program's header may hold anything at 0x3C: only a newer
  // header's signature where it points makes the file more than that.
  identity.kind = ProgramKind::Dos;
  if (!view.Has(0x3C, 4)) {
    identity.malformed = view.Past(0x3C, 4, "the MS-DOS header");
    return identity;
  }
  // Past the window, e_lfanew is taken for an MS-DOS header's noise: no
  // linker puts a PE header there.
  const std::uint32_t at = view.U32(0x3C);
  if (!view.Has(at, 4)) return identity;
  if (view.Matches(at, "PE\0\0", 4)) {
    ReadPe(view, fileSize, at, identity, layout);
  } else if (view.Matches(at, "NE", 2)) {
    identity.kind = ProgramKind::Windows16;
  } else if (view.Matches(at, "LE", 2) || view.Matches(at, "LX", 2)) {
    identity.kind = ProgramKind::Linear;
  }
  return identity;
}

ProgramIdentity ReadProgramIdentity(FileStream& stream, std::string& headers,
                                    ProgramLayout& layout) {
  const std::uint64_t size = stream.Size();
  headers.assign(size < kHeadersWindow ? static_cast<std::size_t>(size) : kHeadersWindow, '\0');
  const std::size_t expected = headers.size();
  std::size_t have = 0;
  while (have < expected) {
    std::size_t got = 0;
    if (!stream.Next(&headers[have], headers.size() - have, got)) {
      layout = ProgramLayout();
      return ProgramIdentity();
    }
    if (got == 0) break;
    have += got;
  }
  // A file shorter than its record said is judged by what is there.
  headers.resize(have);
  return ReadProgramIdentity(headers, have < expected ? have : size, layout);
}
