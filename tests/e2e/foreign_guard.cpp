// Holds the launcher's guard name the way a program the launcher cannot share
// it with does, until the event named last is set (a minute at most):
//   foreign_guard wait-only NAME EVENT  the semaphore, with a security
//                                       descriptor that lets others only wait
//                                       on it (as an elevated launcher's is to
//                                       a standard user's)
//   foreign_guard mutex NAME EVENT      a mutex of that name
// Exit code 0 once released; 2 when it could not take the name as asked.
#include <windows.h>

#include <sddl.h>

#include <cstring>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const char* name = argv[2];
  HANDLE held = nullptr;
  DWORD error = 0;
  if (std::strcmp(argv[1], "mutex") == 0) {
    held = CreateMutexA(nullptr, FALSE, name);
    error = GetLastError();
  } else if (std::strcmp(argv[1], "wait-only") == 0) {
    // Everyone may wait (SYNCHRONIZE) and nothing more; the creator's own
    // handle still has all access.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "D:(A;;0x00100000;;;WD)", SDDL_REVISION_1, &descriptor, nullptr)) {
      return 2;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    held = CreateSemaphoreA(&attributes, 1, 1, name);
    error = GetLastError();
    LocalFree(descriptor);
  }
  if (held == nullptr || error == ERROR_ALREADY_EXISTS) return 2;
  if (HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[3])) {
    WaitForSingleObject(release, 60000);
    CloseHandle(release);
  }
  CloseHandle(held);
  return 0;
}
