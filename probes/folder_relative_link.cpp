// A folder-relative shortcut read as stored: its flags changed, saved to a
// memory stream and loaded back into the same object.
#include "probes/folder_relative_link.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include "platform/owners.h"
#include "platform/system_library.h"

namespace {

// The data block of a link relative to a known folder ([MS-SHLLINK] 2.5.6);
// the system headers name only the special folder's.
constexpr DWORD kKnownFolderBlock = 0xA000000B;

// Whether the link carries a data block with `signature`; the copy the link
// hands out is the caller's to free.
bool HasDataBlock(IShellLinkDataList* list, DWORD signature) {
  void* block = nullptr;
  const bool found = SUCCEEDED(list->CopyDataBlock(signature, &block)) && block != nullptr;
  if (block != nullptr) LocalFree(block);
  return found;
}

}  // namespace

void ReloadWithoutFolderTranslation(IShellLinkW* link) {
  IShellLinkDataList* rawList = nullptr;
  if (FAILED(link->QueryInterface(IID_IShellLinkDataList, reinterpret_cast<void**>(&rawList)))) {
    return;
  }
  const ComPtr<IShellLinkDataList> list(rawList);
  DWORD flags = 0;
  if (FAILED(list.Get()->GetFlags(&flags)) ||
      ((flags & SLDF_HAS_EXP_SZ) == 0 && !HasDataBlock(list.Get(), kKnownFolderBlock) &&
       !HasDataBlock(list.Get(), EXP_SPECIAL_FOLDER_SIG))) {
    return;
  }
  IPersistStream* rawPersist = nullptr;
  IStream* rawStream = nullptr;
  const auto createStream =
      SystemFunction<decltype(&CreateStreamOnHGlobal)>("OLE32.DLL", "CreateStreamOnHGlobal");
  if (FAILED(link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&rawPersist)))) {
    return;
  }
  const ComPtr<IPersistStream> persist(rawPersist);
  if (createStream == nullptr || FAILED(createStream(nullptr, TRUE, &rawStream))) return;
  const ComPtr<IStream> stream(rawStream);
  // The flag only steers how the link is read: an object left unsaved with
  // it reads as loaded.
  const LARGE_INTEGER start = {};
  if (SUCCEEDED(list.Get()->SetFlags(flags | SLDF_DISABLE_KNOWNFOLDER_RELATIVE_TRACKING)) &&
      SUCCEEDED(persist.Get()->Save(stream.Get(), FALSE)) &&
      SUCCEEDED(stream.Get()->Seek(start, STREAM_SEEK_SET, nullptr))) {
    persist.Get()->Load(stream.Get());
  }
}
