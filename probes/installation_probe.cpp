// The installation probe: the product's entry in the machine-wide uninstall
// list, with an uninstall command.
#include "probes/installation_probe.h"

#include <windows.h>

#include "launcher/fixed_text.h"
#include "platform/owners.h"

namespace {

constexpr char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// What the entry `subkey` of HKLM holds in the registry view `view`.
UninstallEntry ReadUninstallEntry(const char* subkey, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
    return UninstallEntry::Missing;
  }
  const UniqueRegKey key(opened);
  BYTE data[1024];
  DWORD size = sizeof data;
  const LONG status =
      RegQueryValueExW(key.Get(), L"UninstallString", nullptr, nullptr, data, &size);
  // A value too long for the area still exists; only its content is unused.
  return status == ERROR_SUCCESS || status == ERROR_MORE_DATA ? UninstallEntry::WithCommand
                                                              : UninstallEntry::WithoutCommand;
}

}  // namespace

bool IsProductInstalled(const char* unInstKey, InstallationFacts& facts) {
  ValueText subkey;
  // A subkey that does not fit its area names no entry the launcher can see.
  if (!subkey.Assign(kUninstallList) || !subkey.Append(unInstKey)) return false;
  // The launcher's own view first. On 64-bit Windows this 32-bit program is
  // shown the 32-bit view, while a 64-bit setup writes its entry to the
  // 64-bit one only; 32-bit Windows ignores the flag and reads its only view
  // again.
  return (facts.ownView = ReadUninstallEntry(subkey.c_str(), 0)) == UninstallEntry::WithCommand ||
         (facts.view64 = ReadUninstallEntry(subkey.c_str(), KEY_WOW64_64KEY)) ==
             UninstallEntry::WithCommand;
}
