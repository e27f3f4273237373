// Shortcut files saved through IShellLinkA and IPersistFile, and advertised
// and known-folder ones written from the file format.
#include "tests/support/shortcut_file.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>

bool SaveShortcut(const std::string& linkPath, const std::string& target,
                  const char* workingDirectory) {
  // The file name in UTF-16, as IPersistFile takes it.
  std::wstring widePath(linkPath.size() + 1, L'\0');
  widePath.resize(static_cast<size_t>(MultiByteToWideChar(
      CP_ACP, 0, linkPath.c_str(), -1, &widePath[0], static_cast<int>(widePath.size()))));
  if (widePath.empty()) return false;

  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->SetPath(target.c_str())) &&
      (workingDirectory == nullptr || SUCCEEDED(link->SetWorkingDirectory(workingDirectory))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(widePath.c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

std::wstring InstallerDescriptor(const GUID& product, const wchar_t* feature,
                                 const GUID& component) {
  static const char kDigits[] =
      "!$%&'()*+,-.0123456789=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`abcdefghijklmnopqrstuvwxyz{}~";
  const auto compressed = [](const GUID& code) {
    std::uint32_t words[4];
    static_assert(sizeof words == sizeof code, "a GUID is four 32-bit words");
    std::memcpy(words, &code, sizeof words);
    std::wstring text;
    for (std::uint32_t word : words) {
      for (int digit = 0; digit < 5; ++digit, word /= 85)
        text += static_cast<wchar_t>(kDigits[word % 85]);
    }
    return text;
  };
  return compressed(product) + feature + L">" + compressed(component);
}

namespace {

constexpr std::uint32_t kHasLinkInfo = 0x2, kHasWorkingDir = 0x10, kIsUnicode = 0x80;

// Little-endian, as every number of the format.
void Put(std::string& bytes, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The header with `flags` (plus Unicode strings, and the working directory's
// flag unless it is empty), shown normally; no times, size, icon or hot key.
void PutHeader(std::string& bytes, std::uint32_t flags, const std::string& workingDirectory) {
  constexpr unsigned char kShellLinkClsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0,
                                                 0xC0, 0,    0,    0, 0, 0, 0, 0x46};
  Put(bytes, 0x4C, 4);  // the header's size
  bytes.append(reinterpret_cast<const char*>(kShellLinkClsid), sizeof kShellLinkClsid);
  Put(bytes, flags | kIsUnicode | (workingDirectory.empty() ? 0 : kHasWorkingDir), 4);
  Put(bytes, 0, 4);                                      // file attributes
  Put(bytes, 0, 8), Put(bytes, 0, 8), Put(bytes, 0, 8);  // creation, access and write times
  Put(bytes, 0, 4), Put(bytes, 0, 4);                    // file size, icon index
  Put(bytes, SW_SHOWNORMAL, 4);
  Put(bytes, 0, 2), Put(bytes, 0, 2), Put(bytes, 0, 4), Put(bytes, 0, 4);  // hot key, reserved
}

// The working directory, counted UTF-16 from the ANSI code page, unless empty.
void PutWorkingDirectory(std::string& bytes, const std::string& workingDirectory) {
  if (workingDirectory.empty()) return;
  std::wstring wide(workingDirectory.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, workingDirectory.c_str(),
                                                      static_cast<int>(workingDirectory.size()),
                                                      &wide[0], static_cast<int>(wide.size()))));
  Put(bytes, wide.size(), 2);
  for (const wchar_t c : wide) Put(bytes, static_cast<std::uint16_t>(c), 2);
}

bool WriteLinkFile(const std::wstring& linkPath, const std::string& bytes) {
  const HANDLE file = CreateFileW(linkPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
      written == bytes.size();
  return CloseHandle(file) != FALSE && ok;
}

}  // namespace

bool SaveAdvertisedShortcut(const std::wstring& linkPath, const std::wstring& descriptor,
                            const std::string& workingDirectory) {
  constexpr std::uint32_t kHasDarwinId = 0x1000;
  constexpr std::uint32_t kDarwinBlockSize = 0x314, kDarwinSignature = 0xA0000006;
  if (descriptor.size() >= MAX_PATH) return false;
  std::string bytes;
  PutHeader(bytes, kHasDarwinId, workingDirectory);
  PutWorkingDirectory(bytes, workingDirectory);
  Put(bytes, kDarwinBlockSize, 4);
  Put(bytes, kDarwinSignature, 4);
  std::string ansi(MAX_PATH, '\0');
  for (size_t i = 0; i < descriptor.size(); ++i) ansi[i] = static_cast<char>(descriptor[i]);
  bytes += ansi;
  for (size_t i = 0; i < MAX_PATH; ++i) {
    Put(bytes, i < descriptor.size() ? static_cast<std::uint16_t>(descriptor[i]) : 0, 2);
  }
  Put(bytes, 0, 4);  // the terminal block
  return WriteLinkFile(linkPath, bytes);
}

bool SaveKnownFolderShortcut(const std::wstring& linkPath, const std::string& target,
                             const std::string& workingDirectory) {
  // The link information: its header, a fixed drive's volume without a
  // label, the target as the local base path, and an empty suffix.
  constexpr std::uint32_t kInfoHeaderSize = 0x1C, kVolumeSize = 0x11;
  constexpr std::uint32_t kPathOffset = kInfoHeaderSize + kVolumeSize;
  const auto suffixOffset = static_cast<std::uint32_t>(kPathOffset + target.size() + 1);
  std::string bytes;
  PutHeader(bytes, kHasLinkInfo, workingDirectory);
  Put(bytes, suffixOffset + 1, 4);
  Put(bytes, kInfoHeaderSize, 4);
  Put(bytes, 1, 4);  // VolumeIDAndLocalBasePath
  Put(bytes, kInfoHeaderSize, 4), Put(bytes, kPathOffset, 4);
  Put(bytes, 0, 4), Put(bytes, suffixOffset, 4);  // no network share
  Put(bytes, kVolumeSize, 4), Put(bytes, DRIVE_FIXED, 4), Put(bytes, 0, 4), Put(bytes, 0x10, 4);
  Put(bytes, 0, 1);  // the empty label
  bytes += target;
  Put(bytes, 0, 2);  // the path's terminator, the empty suffix
  PutWorkingDirectory(bytes, workingDirectory);
  // FOLDERID_ProgramFiles {905E63B6-C1BF-494E-B2E9-6B12E0D1F0B1}, at the
  // start of a target ID list that the link does not carry.
  Put(bytes, 0x1C, 4), Put(bytes, 0xA000000B, 4);
  Put(bytes, 0x905E63B6, 4), Put(bytes, 0xC1BF, 2), Put(bytes, 0x494E, 2);
  Put(bytes, 0xB1F0D1E0126BE9B2, 8);
  Put(bytes, 0, 4);
  Put(bytes, 0, 4);  // the terminal block
  return WriteLinkFile(linkPath, bytes);
}
