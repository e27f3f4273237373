// A shortcut loaded from a patched copy of its bytes, in memory.
#include "probes/untranslated_link.h"

#include <objbase.h>
#include <shlwapi.h>

#include "platform/owners.h"
#include "platform/system_library.h"

namespace {

// The header ([MS-SHLLINK] 2.1), read as 32-bit words: its size, the shell
// link's class identifier, then the LinkFlags.
constexpr DWORD kHeaderSize = 0x4C;
constexpr int kClassIdWord = 1;
constexpr int kFlagsWord = 5;
constexpr DWORD kDisableLinkPathTracking = 0x00100000;
constexpr DWORD kDisableKnownFolderTracking = 0x00200000;
constexpr DWORD kPreferEnvironmentPath = 0x02000000;
// Shortcuts are a few hundred bytes; a larger one is loaded as it is.
constexpr ULONG kLinkLimit = 64 * 1024;

bool HasShellLinkHeader(const DWORD* words, ULONG size) {
  if (size < kHeaderSize || words[0] != kHeaderSize) return false;
  const auto* classId = reinterpret_cast<const BYTE*>(words + kClassIdWord);
  const auto* shellLink = reinterpret_cast<const BYTE*>(&CLSID_ShellLink);
  for (unsigned i = 0; i < sizeof(CLSID); ++i) {
    if (classId[i] != shellLink[i]) return false;
  }
  return true;
}

}  // namespace

bool LoadUntranslated(IShellLinkW* link, const wchar_t* shortcutPath) {
  const auto openFile =
      SystemFunction<decltype(&SHCreateStreamOnFileW)>("SHLWAPI.DLL", "SHCreateStreamOnFileW");
  const auto openMemory =
      SystemFunction<decltype(&SHCreateMemStream)>("SHLWAPI.DLL", "SHCreateMemStream");
  IStream* rawFile = nullptr;
  if (openFile == nullptr || openMemory == nullptr ||
      FAILED(openFile(shortcutPath, STGM_READ | STGM_SHARE_DENY_NONE, &rawFile))) {
    return false;
  }
  const ComPtr<IStream> file(rawFile);
  // One word more than the limit, so that a larger file shows.
  DWORD words[kLinkLimit / sizeof(DWORD) + 1];
  ULONG size = 0;
  if (FAILED(file.Get()->Read(words, sizeof words, &size)) || size > kLinkLimit ||
      !HasShellLinkHeader(words, size)) {
    return false;
  }
  words[kFlagsWord] = (words[kFlagsWord] | kDisableKnownFolderTracking | kDisableLinkPathTracking) &
                      ~kPreferEnvironmentPath;
  const ComPtr<IStream> copy(openMemory(reinterpret_cast<const BYTE*>(words), size));
  IPersistStream* rawPersist = nullptr;
  if (!copy.IsValid() ||
      FAILED(link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&rawPersist)))) {
    return false;
  }
  const ComPtr<IPersistStream> persist(rawPersist);
  return SUCCEEDED(persist.Get()->Load(copy.Get()));
}
