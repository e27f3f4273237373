// The demo product's uninstaller, installed next to it and named by the
// uninstall entry's UninstallString: removes the product, the shortcut and
// the uninstall entry, and then itself and its folder.
#include "examples/programs/demo_common.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = {};
  if (FolderPath(CSIDL_COMMON_PROGRAMS, kLinkName, path)) DeleteFileA(path);
  if (FolderPath(CSIDL_COMMON_PROGRAMS, kLinkFolder, path)) RemoveDirectoryA(path);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, kLauncherView, 0);
  // The data folder goes only when the product left nothing in it.
  if (FolderPath(CSIDL_COMMON_APPDATA, kWorkFolder, path)) RemoveDirectoryA(path);

  char folder[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::strcpy(folder, path);
  if (char* slash = std::strrchr(folder, '\\')) *slash = '\0';
  char product[MAX_PATH + 10] = {};
  std::snprintf(product, sizeof product, "%s\\demo.exe", folder);
  DeleteFileA(product);
  // A running program cannot always delete its own file; then it goes at the
  // next restart.
  if (!DeleteFileA(path)) MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  if (!RemoveDirectoryA(folder)) MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  DemoLog("uninstaller removed the product from %s, its shortcut and its uninstall entry", folder);
  return 0;
}
