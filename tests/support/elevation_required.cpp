// Stands in for the direct start in the launcher's elevation variants and in
// the start tests run through the shell: the system reports that the program
// needs elevation (error 740), as Windows does for a setup program without a
// manifest and Wine never does, and the start hands the program to the shell
// for real.
#include "start/start_calls.h"

bool CreateProgramProcess(const wchar_t*, const wchar_t*, PROCESS_INFORMATION&) {
  constexpr DWORD kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED
  SetLastError(kElevationRequired);
  return false;
}
