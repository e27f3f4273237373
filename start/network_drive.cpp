// A redirected network drive's questions: the drive's type, and a path's
// universal name.
#include <windows.h>

#include <winnetwk.h>

#include "platform/system_library.h"
#include "start/start_calls.h"

UINT DriveTypeOf(const wchar_t* root) { return GetDriveTypeW(root); }

bool UniversalNameOf(const wchar_t* path, WideValueText& universal) {
  const auto getUniversalName =
      SystemFunction<decltype(&WNetGetUniversalNameW)>("MPR.DLL", "WNetGetUniversalNameW");
  if (getUniversalName == nullptr) return false;
  // The structure, then the text its pointer points at.
  union {
    UNIVERSAL_NAME_INFOW info;
    wchar_t text[(sizeof(UNIVERSAL_NAME_INFOW) + sizeof(WideValueText)) / sizeof(wchar_t)];
  } answer;
  DWORD size = sizeof answer;
  return getUniversalName(path, UNIVERSAL_NAME_INFO_LEVEL, &answer, &size) == NO_ERROR &&
         answer.info.lpUniversalName != nullptr && universal.Assign(answer.info.lpUniversalName);
}
