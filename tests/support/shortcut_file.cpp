// Shortcut files saved through IShellLinkA and IPersistFile.
#include "tests/support/shortcut_file.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

bool SaveShortcut(const std::string& linkPath, const std::string& target,
                  const char* workingDirectory) {
  // The file name in UTF-16, as IPersistFile takes it.
  std::wstring widePath(linkPath.size() + 1, L'\0');
  widePath.resize(static_cast<size_t>(MultiByteToWideChar(
      CP_ACP, 0, linkPath.c_str(), -1, &widePath[0], static_cast<int>(widePath.size()))));
  if (widePath.empty()) return false;

  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->SetPath(target.c_str())) &&
      (workingDirectory == nullptr || SUCCEEDED(link->SetWorkingDirectory(workingDirectory))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(widePath.c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}
