// The installation probe: the product's entry in the machine-wide uninstall
// list, with an uninstall command.
#include "probes/installation_probe.h"

#include <windows.h>

#include "launcher/fixed_text.h"
#include "platform/owners.h"

namespace {
constexpr char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
}

bool IsProductInstalled(const char* unInstKey) {
  ValueText subkey;
  // A subkey that does not fit its area names no entry the launcher can see.
  if (!subkey.Assign(kUninstallList) || !subkey.Append(unInstKey)) return false;

  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegKey key(opened);
  BYTE data[1024];
  DWORD size = sizeof data;
  const LONG status = RegQueryValueExA(key.Get(), "UninstallString", nullptr, nullptr, data, &size);
  // A value too long for the area still exists; only its content is unused.
  return status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
}
