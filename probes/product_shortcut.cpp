// The product's shortcut in the all-users Start-menu Programs folder: where
// it is, and what program and working directory it names.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include "launcher/split_path.h"
#include "platform/com_apartment.h"
#include "platform/system_library.h"
#include "probes/desktop_queries.h"
#include "probes/installer_shortcut.h"
#include "probes/product_shortcut.h"
#include "probes/program_files_view.h"
#include "probes/shell_link_object.h"
#include "probes/untranslated_link.h"
#include "probes/wow64_process.h"

bool FindProductShortcut(const char* productLink, ValueText& shortcutPath,
                         PlatformPath& programsFolder) {
  shortcutPath.Clear();
  const auto getFolderPath =
      SystemFunction<decltype(&SHGetSpecialFolderPathA)>("SHELL32.DLL", "SHGetSpecialFolderPathA");
  if (getFolderPath == nullptr ||
      !getFolderPath(nullptr, programsFolder.Area(), CSIDL_COMMON_PROGRAMS, FALSE)) {
    programsFolder.Clear();
    return false;
  }
  // The link is glued to the folder as written: it carries its own backslash.
  if (!shortcutPath.Assign(programsFolder.c_str()) || !shortcutPath.Append(productLink)) {
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

// The target the link names now; false when it names none.
bool ReadTarget(IShellLinkW* link, WidePlatformPath& target) {
  WIN32_FIND_DATAW findData;
  target.Clear();
  link->GetPath(target.Area(), WidePlatformPath::kAreaSize, &findData, SLGP_UNCPRIORITY);
  target.Terminate();
  return !target.empty();
}

// Loads the shortcut. On 64-bit Windows the shell would show this 32-bit
// program the "(x86)" view of a link stored relative to the program-files
// folder or %ProgramFiles%, so there it is read from its own bytes, with
// those translations off; a link that then names no target (one whose target
// lives only in its environment block) is loaded as the shell reads it.
bool LoadShortcut(IShellLinkW* link, IPersistFile* file, const wchar_t* path, bool underWow64,
                  WidePlatformPath& target, ShortcutFacts& facts) {
  if (underWow64 && LoadUntranslated(link, path) && ReadTarget(link, target)) {
    return facts.readUntranslated = true;
  }
  return SUCCEEDED(file->Load(path, STGM_READ));
}

// A 64-bit product's "(x86)" path, which names nothing, taken under the
// native folder where that names the file; `original` keeps the "(x86)" one.
// Taken as it is, on the launcher's own text: the link object, whose folder
// blocks a resolution would read again, is left as loaded.
bool NativeTargetFound(IShellLinkW* link, WidePlatformPath& target, WidePlatformPath& original) {
  return ReadTarget(link, target) && CorrectX86Folder(target, false, original);
}

// The shell's resolution of the target; false when it fails.
bool ResolveTarget(IShellLinkW* link, WidePlatformPath& target, long& result) {
  // Never a dialog of the shell's: without SLR_NO_UI, Windows asks the user
  // about a target that is missing, offers to delete the shortcut, and may
  // pick a similar file elsewhere (IShellLink::Resolve). A resolution that
  // fails ends the run silently.
  result = link->Resolve(nullptr, SLR_ANY_MATCH | SLR_NO_UI);
  if (FAILED(result)) return false;
  ReadTarget(link, target);
  return true;
}

}  // namespace

bool ResolveShortcut(const char* shortcutPath, WidePlatformPath& targetPath,
                     WidePlatformPath& workingDirectory, ShortcutFacts& facts) {
  // Left when the resolution ends, after the link's objects are released:
  // the launcher then waits for the product, and must not hold an apartment.
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  if (!apartment.Entered()) return false;

  // The shortcut's path comes from the configuration file, in the ANSI code
  // page; what the link holds is read wide.
  WideValueText wideShortcutPath;
  if (MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, wideShortcutPath.Area(),
                          WideValueText::kAreaSize) == 0) {
    return false;
  }
  const ComPtr<IShellLinkW> link(CreateShellLink());
  if (!link.IsValid()) return false;
  IPersistFile* rawFile = nullptr;
  if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
    return false;
  }
  const ComPtr<IPersistFile> file(rawFile);

  const bool underWow64 = RunsUnderWow64();
  if (!LoadShortcut(link.Get(), file.Get(), wideShortcutPath.c_str(), underWow64, targetPath,
                    facts)) {
    return false;
  }
  targetPath.Clear();
  const InstallerAnswer answer =
      (facts.advertised = IsAdvertised(link.Get()))
          ? AskInstaller(wideShortcutPath.c_str(), targetPath, facts.installer)
          : InstallerAnswer::NotAdvertised;
  switch (answer) {
    case InstallerAnswer::Installed:
      break;
    case InstallerAnswer::Unavailable:
      return false;
    case InstallerAnswer::NotAdvertised:
      // Left unresolved: the file exists, and to 32-bit code FOLDERID_ProgramFiles is "(x86)".
      if (underWow64 && NativeTargetFound(link.Get(), targetPath, facts.x86Target)) break;
      if (!ResolveTarget(link.Get(), targetPath, facts.resolution)) return false;
      break;
  }
  workingDirectory.Clear();
  facts.workingDirectoryStatus =
      link.Get()->GetWorkingDirectory(workingDirectory.Area(), WidePlatformPath::kAreaSize);
  workingDirectory.Terminate();
  // The same view's working directory: taken under the native folder when
  // only that one exists.
  if (underWow64 && !workingDirectory.empty()) {
    CorrectX86Folder(workingDirectory, true, facts.x86Directory);
  }
  return facts.workingDirectoryStatus == S_OK;
}
