// Smart App Control's state: VerifiedAndReputablePolicyState under
// HKLM\SYSTEM\CurrentControlSet\Control\CI\Policy (0 off, 1 on, 2 evaluation;
// missing on a Windows without it). A 32-bit checker under WOW64 reads the
// 64-bit view, the system's own; the SYSTEM hive is not redirected, but a
// view named keeps the answer plain.
#include "check/read/smart_app_control.h"

#include <windows.h>

#include "platform/owners.h"
#include "probes/wow64_process.h"

SmartAppControl ReadSmartAppControl() {
  SmartAppControl control;
  REGSAM view = 0;
  if (sizeof(void*) == 8) {
    control.view = "the 64-bit view, this build's own";
  } else if (RunsUnderWow64()) {
    view = KEY_WOW64_64KEY;
    control.view = "the 64-bit view, the system's own (this checker is 32-bit, under WOW64)";
  } else {
    control.view = "the only view (32-bit Windows)";
  }
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\CI\\Policy", 0,
                    KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) {
    return control;
  }
  const UniqueRegKey key(opened);
  DWORD type = REG_NONE;
  DWORD value = 0;
  DWORD size = sizeof value;
  const LONG read = RegQueryValueExW(key.Get(), L"VerifiedAndReputablePolicyState", nullptr, &type,
                                     reinterpret_cast<BYTE*>(&value), &size);
  if (read == ERROR_FILE_NOT_FOUND) return control;
  control.value = value;
  if (read != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) {
    control.state = SmartAppControlState::Unknown;
    return control;
  }
  const SmartAppControlState documented[] = {SmartAppControlState::Off, SmartAppControlState::On,
                                             SmartAppControlState::Evaluation};
  control.state = value < 3 ? documented[value] : SmartAppControlState::Unknown;
  return control;
}
