// WOW64, asked of KERNEL32 at run time.
#include "probes/wow64_process.h"

#include <windows.h>

#include "platform/system_library.h"

bool RunsUnderWow64() {
  const auto isWow64Process =
      LookUpFunction<decltype(&IsWow64Process)>(GetModuleHandleA("KERNEL32.DLL"), "IsWow64Process");
  BOOL underWow64 = FALSE;
  // The current process's pseudo handle, which GetCurrentProcess returns.
  const auto currentProcess = reinterpret_cast<HANDLE>(-1);
  return isWow64Process != nullptr && isWow64Process(currentProcess, &underWow64) && underWow64;
}
