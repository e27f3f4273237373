// The benchmarks' stand-in program: the medium's setup program, the installed
// product and the extra live processes of the process scan. It ends at once
// unless the driver holds it; then it reports that it runs and waits.
#include <windows.h>

#include "bench/bench_common.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, kReleaseEvent);
  if (release == nullptr) return 0;
  if (const HANDLE started = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, kStartedSemaphore)) {
    ReleaseSemaphore(started, 1, nullptr);
    CloseHandle(started);
  }
  // Bounded, so a driver that died cannot leave stand-ins behind for long.
  WaitForSingleObject(release, 120000);
  CloseHandle(release);
  return 0;
}
