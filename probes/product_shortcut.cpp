// The product's shortcut in the all-users Start-menu Programs folder: where
// it is, and what program and working directory it names.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include "launcher/split_path.h"
#include "platform/com_apartment.h"
#include "platform/system_library.h"
#include "probes/desktop_queries.h"
#include "probes/folder_relative_link.h"
#include "probes/installer_shortcut.h"
#include "probes/product_shortcut.h"
#include "probes/program_files_view.h"
#include "probes/wow64_process.h"

bool FindProductShortcut(const char* productLink, ValueText& shortcutPath) {
  shortcutPath.Clear();
  const auto getFolderPath =
      SystemFunction<decltype(&SHGetSpecialFolderPathA)>("SHELL32.DLL", "SHGetSpecialFolderPathA");
  char folder[MAX_PATH] = {};
  if (getFolderPath == nullptr || !getFolderPath(nullptr, folder, CSIDL_COMMON_PROGRAMS, FALSE)) {
    return false;
  }
  // The link is glued to the folder as written: it carries its own backslash.
  if (!shortcutPath.Assign(folder) || !shortcutPath.Append(productLink)) {
    shortcutPath.Clear();
    return false;
  }
  ValueText directory;
  ValueText fileName;
  SplitPath(shortcutPath.c_str(), PathPart::Directory, directory, IsSystemLeadByte);
  SplitPath(shortcutPath.c_str(), PathPart::FileName, fileName, IsSystemLeadByte);
  char found[MAX_PATH];
  return SearchPathA(directory.c_str(), fileName.c_str(), nullptr, MAX_PATH, found, nullptr) != 0;
}

namespace {

// Whether the link is an advertised one of Windows Installer's
// (SLDF_HAS_DARWINID): only those are the installer's to answer, so a plain
// shortcut never loads its library.
bool IsAdvertised(IShellLinkW* link) {
  IShellLinkDataList* rawList = nullptr;
  if (FAILED(link->QueryInterface(IID_IShellLinkDataList, reinterpret_cast<void**>(&rawList)))) {
    return false;
  }
  const ComPtr<IShellLinkDataList> list(rawList);
  DWORD flags = 0;
  return SUCCEEDED(list.Get()->GetFlags(&flags)) && (flags & SLDF_HAS_DARWINID) != 0;
}

}  // namespace

bool ResolveShortcut(const char* shortcutPath, WidePlatformPath& targetPath,
                     WidePlatformPath& workingDirectory) {
  // Left when the resolution ends, after the link's objects are released:
  // the launcher then waits for the product, and must not hold an apartment.
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  const auto createInstance =
      SystemFunction<decltype(&CoCreateInstance)>("OLE32.DLL", "CoCreateInstance");
  if (!apartment.Entered() || createInstance == nullptr) return false;

  // The shortcut's path comes from the configuration file, in the ANSI code
  // page; what the link holds is read wide.
  WideValueText wideShortcutPath;
  if (MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, wideShortcutPath.Area(),
                          WideValueText::kAreaSize) == 0) {
    return false;
  }
  IShellLinkW* rawLink = nullptr;
  if (FAILED(createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            reinterpret_cast<void**>(&rawLink)))) {
    return false;
  }
  const ComPtr<IShellLinkW> link(rawLink);
  IPersistFile* rawFile = nullptr;
  if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
    return false;
  }
  const ComPtr<IPersistFile> file(rawFile);

  if (FAILED(file.Get()->Load(wideShortcutPath.c_str(), STGM_READ))) return false;
  // On 64-bit Windows, the shell shows this 32-bit program a link to
  // C:\Program Files\... as one to C:\Program Files (x86)\... when the link
  // is stored relative to that folder, as 64-bit setups store them.
  const bool underWow64 = RunsUnderWow64();
  if (underWow64) ReloadWithoutFolderTranslation(link.Get());

  targetPath.Clear();
  const InstallerAnswer answer = IsAdvertised(link.Get())
                                     ? AskInstaller(wideShortcutPath.c_str(), targetPath)
                                     : InstallerAnswer::NotAdvertised;
  switch (answer) {
    case InstallerAnswer::Installed:
      break;
    case InstallerAnswer::Unavailable:
      return false;
    case InstallerAnswer::NotAdvertised:
      // Never a dialog of the shell's: without SLR_NO_UI, Windows asks the
      // user about a target that is missing, offers to delete the shortcut,
      // and may pick a similar file elsewhere (IShellLink::Resolve). A
      // resolution that fails ends the run silently.
      if (FAILED(link.Get()->Resolve(nullptr, SLR_ANY_MATCH | SLR_NO_UI))) return false;
      WIN32_FIND_DATAW findData;
      link.Get()->GetPath(targetPath.Area(), WidePlatformPath::kAreaSize, &findData,
                          SLGP_UNCPRIORITY);
      targetPath.Terminate();
      if (underWow64) CorrectX86Folder(targetPath, false);
      break;
  }
  workingDirectory.Clear();
  const HRESULT status =
      link.Get()->GetWorkingDirectory(workingDirectory.Area(), WidePlatformPath::kAreaSize);
  workingDirectory.Terminate();
  if (underWow64 && !workingDirectory.empty()) CorrectX86Folder(workingDirectory, true);
  return status == S_OK;
}
