// An advertised shortcut's program, from Windows Installer: the way the
// shell itself opens such a shortcut (KB 243630; MsiGetShortcutTarget).
// IShellLink's GetPath gives no target for it (Wine), or the shortcut's icon
// file in the installer's cache (Windows).
#include "probes/installer_shortcut.h"

#include <windows.h>

#include <msi.h>

#include "platform/system_library.h"

InstallerAnswer AskInstaller(const wchar_t* shortcutPath, WidePlatformPath& programPath,
                             InstallerFacts& facts) {
  const auto getShortcutTarget =
      SystemFunction<decltype(&MsiGetShortcutTargetW)>("MSI.DLL", "MsiGetShortcutTargetW");
  const auto getComponentPath =
      SystemFunction<decltype(&MsiGetComponentPathW)>("MSI.DLL", "MsiGetComponentPathW");
  if (getShortcutTarget == nullptr || getComponentPath == nullptr) {
    return InstallerAnswer::NotAdvertised;
  }
  wchar_t feature[MAX_FEATURE_CHARS + 1];
  if (getShortcutTarget(shortcutPath, facts.product, feature, facts.component) != ERROR_SUCCESS) {
    return InstallerAnswer::NotAdvertised;
  }
  DWORD size = WidePlatformPath::kAreaSize;
  const INSTALLSTATE state =
      getComponentPath(facts.product, facts.component, programPath.Area(), &size);
  facts.state = state;
  programPath.Terminate();
  if (state == INSTALLSTATE_LOCAL || state == INSTALLSTATE_SOURCE) {
    return InstallerAnswer::Installed;
  }
  // Never the installer's repair: the user can repair the product from its
  // shortcut, and the launcher shows nothing of its own.
  programPath.Clear();
  return InstallerAnswer::Unavailable;
}
