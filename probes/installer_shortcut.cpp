// An advertised shortcut's program, from Windows Installer: the way the
// shell itself opens such a shortcut (KB 243630; MsiGetShortcutTarget).
// IShellLink's GetPath gives no target for it (Wine), or the shortcut's icon
// file in the installer's cache (Windows).
#include "probes/installer_shortcut.h"

#include <windows.h>

#include <msi.h>

#include "platform/system_library.h"

InstallerAnswer AskInstaller(const wchar_t* shortcutPath, WidePlatformPath& programPath) {
  const auto getShortcutTarget =
      SystemFunction<decltype(&MsiGetShortcutTargetW)>("MSI.DLL", "MsiGetShortcutTargetW");
  const auto getComponentPath =
      SystemFunction<decltype(&MsiGetComponentPathW)>("MSI.DLL", "MsiGetComponentPathW");
  if (getShortcutTarget == nullptr || getComponentPath == nullptr) {
    return InstallerAnswer::NotAdvertised;
  }
  // Product and component codes are GUIDs in braces: 38 characters.
  wchar_t product[39];
  wchar_t feature[MAX_FEATURE_CHARS + 1];
  wchar_t component[39];
  if (getShortcutTarget(shortcutPath, product, feature, component) != ERROR_SUCCESS) {
    return InstallerAnswer::NotAdvertised;
  }
  DWORD size = WidePlatformPath::kAreaSize;
  const INSTALLSTATE state = getComponentPath(product, component, programPath.Area(), &size);
  programPath.Terminate();
  if (state == INSTALLSTATE_LOCAL || state == INSTALLSTATE_SOURCE) {
    return InstallerAnswer::Installed;
  }
  // Never the installer's repair: the user can repair the product from its
  // shortcut, and the launcher shows nothing of its own.
  programPath.Clear();
  return InstallerAnswer::Unavailable;
}
