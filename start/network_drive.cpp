// A redirected network drive's questions: the drive's type, and a path's
// universal name.
#include <windows.h>

#include <winnetwk.h>

#include "platform/system_library.h"
#include "start/start_calls.h"

UINT DriveTypeOf(const char* root) { return GetDriveTypeA(root); }

bool UniversalNameOf(const char* path, ValueText& universal) {
  const auto getUniversalName =
      SystemFunction<decltype(&WNetGetUniversalNameA)>("MPR.DLL", "WNetGetUniversalNameA");
  if (getUniversalName == nullptr) return false;
  // The structure, then the text its pointer points at.
  union {
    UNIVERSAL_NAME_INFOA info;
    char bytes[sizeof(UNIVERSAL_NAME_INFOA) + ValueText::kAreaSize];
  } answer;
  DWORD size = sizeof answer;
  return getUniversalName(path, UNIVERSAL_NAME_INFO_LEVEL, &answer, &size) == NO_ERROR &&
         answer.info.lpUniversalName != nullptr && universal.Assign(answer.info.lpUniversalName);
}
