// Stands in for the network drive's questions in the launcher's network
// variant, since Wine maps no network drives: the medium's drive
// (AUTORUN_E2E_DRIVE) is a redirected one, whose share is the folder that
// AUTORUN_TEST_SHARE names (ending in a backslash); every other drive is
// local.
#include "start/start_calls.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

UINT DriveTypeOf(const char* root) {
  char drive[4] = {};
  GetEnvironmentVariableA("AUTORUN_E2E_DRIVE", drive, sizeof drive);
  return drive[0] != '\0' && Upper(root[0]) == Upper(drive[0]) ? DRIVE_REMOTE : DRIVE_FIXED;
}

bool UniversalNameOf(const char* path, ValueText& universal) {
  char share[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("AUTORUN_TEST_SHARE", share, sizeof share);
  return length > 0 && length < sizeof share && universal.Assign(share) &&
         universal.Append(path + 3);
}
