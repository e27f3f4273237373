// Stands in for the network drive's questions in the launcher's network
// variant, since Wine maps no network drives: the medium's drive
// (AUTORUN_E2E_DRIVE) is a redirected one, whose share is the folder that
// AUTORUN_TEST_SHARE names (ending in a backslash); every other drive is
// local.
#include "start/start_calls.h"

namespace {

wchar_t Upper(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

UINT DriveTypeOf(const wchar_t* root) {
  wchar_t drive[4] = {};
  GetEnvironmentVariableW(L"AUTORUN_E2E_DRIVE", drive, 4);
  return drive[0] != 0 && Upper(root[0]) == Upper(drive[0]) ? DRIVE_REMOTE : DRIVE_FIXED;
}

bool UniversalNameOf(const wchar_t* path, WideValueText& universal) {
  wchar_t share[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"AUTORUN_TEST_SHARE", share, MAX_PATH);
  return length > 0 && length < MAX_PATH && universal.Assign(share) && universal.Append(path + 3);
}
