// The sample medium's setup program. It really installs the demo product:
// copies the product and its uninstaller from the medium's product folder
// into Program Files, places the all-users Start-menu shortcut (with the
// product's data folder as working directory) and writes the uninstall entry
// last, so that a half-done install never counts as installed. Its window
// carries the SetupTitle for a second, without asking anything, so the demo
// runs unattended.
#include <objbase.h>

#include "examples/programs/demo_common.h"

namespace {

bool PlaceShortcut(const char* target, const char* workingDirectory) {
  char folder[MAX_PATH] = {};
  char link[MAX_PATH] = {};
  if (!FolderPath(CSIDL_COMMON_PROGRAMS, kLinkFolder, folder) ||
      !FolderPath(CSIDL_COMMON_PROGRAMS, kLinkName, link)) {
    return false;
  }
  CreateDirectoryA(folder, nullptr);
  WCHAR wideLink[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, link, -1, wideLink, MAX_PATH) == 0) return false;
  bool saved = false;
  IShellLinkA* shellLink = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->SetPath(target)) &&
        SUCCEEDED(shellLink->SetWorkingDirectory(workingDirectory)) &&
        SUCCEEDED(shellLink->SetDescription("Autorun Demo")) &&
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      saved = SUCCEEDED(file->Save(wideLink, TRUE));
      file->Release();
    }
    shellLink->Release();
  }
  return saved;
}

bool SetText(HKEY key, const char* name, const char* value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
}

// The view that the launcher reads.
bool WriteUninstallEntry(const char* folder, const char* uninstaller) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0,
                      KEY_SET_VALUE | kLauncherView, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  char command[MAX_PATH + 2] = {};
  std::snprintf(command, sizeof command, "\"%s\"", uninstaller);
  const bool written =
      SetText(key, "DisplayName", "Autorun Demo") && SetText(key, "DisplayVersion", "1.0") &&
      SetText(key, "InstallLocation", folder) && SetText(key, "UninstallString", command);
  RegCloseKey(key);
  return written;
}

bool Install() {
  // The medium's root is the folder above the one this program lies in.
  char source[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, source, MAX_PATH);
  for (int level = 0; level < 2; ++level) {
    if (char* slash = std::strrchr(source, '\\')) *slash = '\0';
  }
  char folder[MAX_PATH] = {};
  char work[MAX_PATH] = {};
  if (!FolderPath(CSIDL_PROGRAM_FILES, kProductFolder, folder) ||
      !FolderPath(CSIDL_COMMON_APPDATA, kWorkFolder, work)) {
    return false;
  }
  CreateDirectoryA(folder, nullptr);
  CreateDirectoryA(work, nullptr);
  char from[MAX_PATH] = {};
  char product[MAX_PATH] = {};
  char uninstaller[MAX_PATH] = {};
  std::snprintf(product, sizeof product, "%s\\demo.exe", folder);
  std::snprintf(uninstaller, sizeof uninstaller, "%s\\uninstall.exe", folder);
  std::snprintf(from, sizeof from, "%s\\product\\demo.exe", source);
  if (!CopyFileA(from, product, FALSE)) return false;
  std::snprintf(from, sizeof from, "%s\\product\\uninstall.exe", source);
  if (!CopyFileA(from, uninstaller, FALSE)) return false;
  DemoLog("setup copied the product to %s", product);
  if (!PlaceShortcut(product, work)) return false;
  DemoLog("setup placed the shortcut <all-users Programs>%s (working directory %s)", kLinkName,
          work);
  if (!WriteUninstallEntry(folder, uninstaller)) return false;
  DemoLog("setup wrote HKLM\\%s (%d-bit view)", kUninstallKey, sizeof(void*) == 4 ? 32 : 64);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const HWND window =
      CreateWindowExA(0, "STATIC", kSetupTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                      CW_USEDEFAULT, 360, 120, nullptr, nullptr, instance, nullptr);
  const DWORD start = GetTickCount();
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  DemoLog("setup started in %s", directory);
  CoInitialize(nullptr);
  const bool installed = Install();
  CoUninitialize();
  DemoLog(installed ? "setup finished: the product is installed" : "setup failed");

  // The window stays a second, so its title can be seen (and found).
  SetTimer(nullptr, 0, 1000, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
    DispatchMessageA(&message);
  }
  DestroyWindow(window);
  DemoLog("setup ended after %lu ms", GetTickCount() - start);
  return installed ? 0 : 1;
}
