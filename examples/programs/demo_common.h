// What the demo programs share: where the demo product lives on the machine,
// and the record that each program appends to in the all-users
// application-data folder, where scripts/demo.sh reads it.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

// Must agree with UnInstKey, ExeName and ProductLink in the medium's install.dat.
constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\AutorunDemoProduct";
constexpr char kProductFolder[] = "\\AutorunDemo";  // below Program Files
constexpr char kWorkFolder[] = "\\AutorunDemo";     // below the all-users application data
constexpr char kLinkFolder[] = "\\Autorun Demo";    // below the all-users Start-menu Programs
constexpr char kLinkName[] = "\\Autorun Demo\\Autorun Demo.lnk";
constexpr char kSetupTitle[] = "Autorun Demo Setup";  // install.dat's SetupTitle
// The uninstall list's view that the launcher reads: autorun.exe is a 32-bit
// program; the 64-bit build that stands in for it on machines without 32-bit
// support reads the 64-bit view.
constexpr REGSAM kLauncherView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

// A shell folder followed by a tail; false when the folder is unknown or the
// result would not fit.
inline bool FolderPath(int folderId, const char* tail, char (&path)[MAX_PATH]) {
  if (!SHGetSpecialFolderPathA(nullptr, path, folderId, TRUE)) return false;
  if (std::strlen(path) + std::strlen(tail) >= MAX_PATH) return false;
  std::strcat(path, tail);
  return true;
}

inline void DemoLog(const char* format, ...) {
  char path[MAX_PATH] = {};
  if (!FolderPath(CSIDL_COMMON_APPDATA, "\\AutorunDemo.log", path)) return;
  FILE* log = std::fopen(path, "a");
  if (log == nullptr) return;
  std::va_list arguments;
  va_start(arguments, format);
  std::vfprintf(log, format, arguments);
  va_end(arguments);
  std::fputc('\n', log);
  std::fclose(log);
}
