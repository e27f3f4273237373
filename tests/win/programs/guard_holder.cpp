// Takes the single-instance guard under the name given as its first argument
// and reports the result as its exit code (10 Created, 11 AlreadyExists,
// 12 Failed). With a second argument, the name of an event, it keeps the
// guard until that event is set, as a launcher that waits for its program.
#include <windows.h>

#include "probes/instance_guard.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  UniqueHandle guard;
  const GuardResult result = AcquireInstanceGuard(argv[1], guard);
  if (argc > 2) {
    if (HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[2])) {
      WaitForSingleObject(release, 60000);
      CloseHandle(release);
    }
  }
  return 10 + static_cast<int>(result);
}
