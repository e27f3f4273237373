// A setup program that crashes: it leaves its record (as the recorder does,
// in %AUTORUN_TEST_RECORD_DIR%\crasher.txt), waits for the event named by
// %AUTORUN_TEST_HOLD_EVENT% (at most a minute), then writes through a null
// pointer, so a test can see that the launcher waits for it and survives.
#include <windows.h>

#include <cstdio>

namespace {
LONG WINAPI EndAtOnce(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }
}  // namespace

int main() {
  // The process ends with the exception's code and no crash report (Wine's
  // debugger ignores the error mode and would print pages of it).
  SetUnhandledExceptionFilter(EndAtOnce);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("AUTORUN_TEST_RECORD_DIR", folder, MAX_PATH - 20);
  if (length != 0 && length < MAX_PATH - 20) {
    char record[MAX_PATH];
    char temporary[MAX_PATH + 4];
    std::snprintf(record, sizeof record, "%s\\crasher.txt", folder);
    std::snprintf(temporary, sizeof temporary, "%s.tmp", record);
    if (FILE* file = std::fopen(temporary, "wb")) {
      char cwd[MAX_PATH] = {};
      GetCurrentDirectoryA(MAX_PATH, cwd);
      std::fprintf(file, "program=%s\ncwd=%s\n", path, cwd);
      std::fclose(file);
      MoveFileExA(temporary, record, MOVEFILE_REPLACE_EXISTING);
    }
  }
  char hold[256] = {};
  if (GetEnvironmentVariableA("AUTORUN_TEST_HOLD_EVENT", hold, sizeof hold) != 0) {
    if (HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, hold)) WaitForSingleObject(event, 60000);
  }
  // Volatile, so the compiler cannot see the null and turn the store into a trap.
  volatile int* volatile nowhere = nullptr;
  *nowhere = 1;
  return 0;
}
