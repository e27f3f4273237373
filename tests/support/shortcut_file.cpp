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

// Writes a link from the file format ([MS-SHLLINK]): the header, the target's
// item list unless it is empty, the working directory unless it is empty,
// Windows Installer's block for a `descriptor` unless it is empty, and the
// terminal block. False when it could not be written.
bool WriteLink(const std::wstring& linkPath, const std::string& itemList,
               const std::wstring& workingDirectory, const std::wstring& descriptor) {
  constexpr std::uint32_t kHasItemList = 0x1, kHasWorkingDir = 0x10, kIsUnicode = 0x80,
                          kHasDarwinId = 0x1000;
  constexpr std::uint32_t kDarwinBlockSize = 0x314, kDarwinSignature = 0xA0000006;
  constexpr unsigned char kShellLinkClsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0,
                                                 0xC0, 0,    0,    0, 0, 0, 0, 0x46};
  if (descriptor.size() >= MAX_PATH) return false;
  std::string bytes;
  const auto put = [&bytes](std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(0x4C, 4);  // the header's size
  bytes.append(reinterpret_cast<const char*>(kShellLinkClsid), sizeof kShellLinkClsid);
  put(kIsUnicode | (itemList.empty() ? 0 : kHasItemList) |
          (workingDirectory.empty() ? 0 : kHasWorkingDir) | (descriptor.empty() ? 0 : kHasDarwinId),
      4);
  put(0, 4);                        // file attributes
  put(0, 8), put(0, 8), put(0, 8);  // creation, access and write times
  put(0, 4), put(0, 4);             // file size, icon index
  put(SW_SHOWNORMAL, 4);
  put(0, 2), put(0, 2), put(0, 4), put(0, 4);  // hot key, reserved
  if (!itemList.empty()) {
    put(itemList.size(), 2);
    bytes += itemList;
  }
  if (!workingDirectory.empty()) {
    put(workingDirectory.size(), 2);
    for (const wchar_t c : workingDirectory) put(static_cast<std::uint16_t>(c), 2);
  }
  if (!descriptor.empty()) {
    put(kDarwinBlockSize, 4);
    put(kDarwinSignature, 4);
    std::string ansi(MAX_PATH, '\0');
    for (size_t i = 0; i < descriptor.size(); ++i) ansi[i] = static_cast<char>(descriptor[i]);
    bytes += ansi;
    for (size_t i = 0; i < MAX_PATH; ++i) {
      put(i < descriptor.size() ? static_cast<std::uint16_t>(descriptor[i]) : 0, 2);
    }
  }
  put(0, 4);  // the terminal block
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
                            const std::wstring& workingDirectory) {
  return WriteLink(linkPath, "", workingDirectory, descriptor);
}

bool SaveItemListShortcut(const std::wstring& linkPath, const std::wstring& target,
                          const std::wstring& workingDirectory) {
  PIDLIST_ABSOLUTE item = nullptr;
  if (FAILED(SHParseDisplayName(target.c_str(), nullptr, &item, 0, nullptr))) return false;
  const std::string itemList(reinterpret_cast<const char*>(item), ILGetSize(item));
  CoTaskMemFree(item);
  return WriteLink(linkPath, itemList, workingDirectory, L"");
}
