// Shortcut files saved through IShellLinkW and IPersistFile, and advertised
// ones written from the file format.
#include "tests/support/shortcut_file.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>

#include "tests/support/text_conversion.h"

bool SaveShortcut(const std::wstring& linkPath, const std::wstring& target,
                  const wchar_t* workingDirectory) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->SetPath(target.c_str())) &&
      (workingDirectory == nullptr || SUCCEEDED(link->SetWorkingDirectory(workingDirectory))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

bool SaveShortcut(const std::string& linkPath, const std::string& target,
                  const char* workingDirectory) {
  const std::wstring directory =
      workingDirectory == nullptr ? L"" : WideFrom(workingDirectory, CP_ACP);
  return SaveShortcut(WideFrom(linkPath, CP_ACP), WideFrom(target, CP_ACP),
                      workingDirectory == nullptr ? nullptr : directory.c_str());
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

constexpr std::uint32_t kHasItemList = 0x1, kHasLinkInfo = 0x2, kHasWorkingDir = 0x10,
                        kIsUnicode = 0x80, kHasExpString = 0x200, kHasDarwinId = 0x1000;

// Little-endian, as every number of the format.
void Put(std::string& bytes, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Writes a link from the file format ([MS-SHLLINK]): the header with `flags`
// (Unicode strings, and the working directory's flag unless it is empty),
// `target` (the item list or the link information that the flags announce),
// the working directory, the extra data `blocks` and the terminal block.
// False when it could not be written.
bool WriteLink(const std::wstring& linkPath, std::uint32_t flags, const std::string& target,
               const std::wstring& workingDirectory, const std::string& blocks) {
  constexpr unsigned char kShellLinkClsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0,
                                                 0xC0, 0,    0,    0, 0, 0, 0, 0x46};
  std::string bytes;
  Put(bytes, 0x4C, 4);  // the header's size
  bytes.append(reinterpret_cast<const char*>(kShellLinkClsid), sizeof kShellLinkClsid);
  Put(bytes, flags | kIsUnicode | (workingDirectory.empty() ? 0 : kHasWorkingDir), 4);
  Put(bytes, 0, 4);                                      // file attributes
  Put(bytes, 0, 8), Put(bytes, 0, 8), Put(bytes, 0, 8);  // creation, access and write times
  Put(bytes, 0, 4), Put(bytes, 0, 4);                    // file size, icon index
  Put(bytes, SW_SHOWNORMAL, 4);
  Put(bytes, 0, 2), Put(bytes, 0, 2), Put(bytes, 0, 4), Put(bytes, 0, 4);  // hot key, reserved
  bytes += target;
  if (!workingDirectory.empty()) {
    Put(bytes, workingDirectory.size(), 2);
    for (const wchar_t c : workingDirectory) Put(bytes, static_cast<std::uint16_t>(c), 2);
  }
  bytes += blocks;
  Put(bytes, 0, 4);  // the terminal block
  const HANDLE file = CreateFileW(linkPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
      written == bytes.size();
  return CloseHandle(file) != FALSE && ok;
}

// A block that holds a text twice, in 260 ANSI characters and in 260 UTF-16
// units (the Darwin and the EnvironmentVariable blocks); false when it does
// not fit.
bool PutTextBlock(std::string& blocks, std::uint32_t signature, const std::wstring& text) {
  constexpr std::uint32_t kTextBlockSize = 0x314;
  if (text.size() >= MAX_PATH) return false;
  Put(blocks, kTextBlockSize, 4);
  Put(blocks, signature, 4);
  std::string ansi(MAX_PATH, '\0');
  for (size_t i = 0; i < text.size(); ++i) ansi[i] = static_cast<char>(text[i]);
  blocks += ansi;
  for (size_t i = 0; i < MAX_PATH; ++i) {
    Put(blocks, i < text.size() ? static_cast<std::uint16_t>(text[i]) : 0, 2);
  }
  return true;
}

}  // namespace

bool SaveAdvertisedShortcut(const std::wstring& linkPath, const std::wstring& descriptor,
                            const std::wstring& workingDirectory) {
  std::string block;
  return PutTextBlock(block, 0xA0000006, descriptor) &&
         WriteLink(linkPath, kHasDarwinId, "", workingDirectory, block);
}

bool SaveItemListShortcut(const std::wstring& linkPath, const std::wstring& target,
                          const std::wstring& workingDirectory) {
  PIDLIST_ABSOLUTE item = nullptr;
  if (FAILED(SHParseDisplayName(target.c_str(), nullptr, &item, 0, nullptr))) return false;
  std::string itemList;
  Put(itemList, ILGetSize(item), 2);
  itemList.append(reinterpret_cast<const char*>(item), ILGetSize(item));
  CoTaskMemFree(item);
  return WriteLink(linkPath, kHasItemList, itemList, workingDirectory, "");
}

bool SaveStoredTargetShortcut(const std::wstring& linkPath, const std::string& target,
                              const std::wstring& workingDirectory, unsigned blocks,
                              const std::wstring& environmentTarget) {
  // The link information: its header, a fixed drive's volume without a
  // label, the target as the local base path, and an empty suffix.
  constexpr std::uint32_t kInfoHeaderSize = 0x1C, kVolumeSize = 0x11;
  constexpr std::uint32_t kPathOffset = kInfoHeaderSize + kVolumeSize;
  const auto suffixOffset = static_cast<std::uint32_t>(kPathOffset + target.size() + 1);
  std::string info;
  if (!target.empty()) {
    Put(info, suffixOffset + 1, 4);
    Put(info, kInfoHeaderSize, 4);
    Put(info, 1, 4);  // VolumeIDAndLocalBasePath
    Put(info, kInfoHeaderSize, 4), Put(info, kPathOffset, 4);
    Put(info, 0, 4), Put(info, suffixOffset, 4);  // no network share
    Put(info, kVolumeSize, 4), Put(info, DRIVE_FIXED, 4), Put(info, 0, 4), Put(info, 0x10, 4);
    Put(info, 0, 1);  // the empty label
    info += target;
    Put(info, 0, 2);  // the path's terminator, the empty suffix
  }
  std::string block;
  if ((blocks & kEnvironmentBlock) != 0 && !PutTextBlock(block, 0xA0000001, environmentTarget)) {
    return false;
  }
  if ((blocks & kKnownFolderBlock) != 0) {
    // FOLDERID_ProgramFiles {905E63B6-C1BF-494E-B2E9-6B12E0D1F0B1}, at the
    // start of a target item list that the link does not carry.
    Put(block, 0x1C, 4), Put(block, 0xA000000B, 4);
    Put(block, 0x905E63B6, 4), Put(block, 0xC1BF, 2), Put(block, 0x494E, 2);
    Put(block, 0xB1F0D1E0126BE9B2, 8);
    Put(block, 0, 4);
  }
  const std::uint32_t flags =
      (target.empty() ? 0 : kHasLinkInfo) | ((blocks & kEnvironmentBlock) != 0 ? kHasExpString : 0);
  return WriteLink(linkPath, flags, info, workingDirectory, block);
}
