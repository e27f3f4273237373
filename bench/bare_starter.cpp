// The start floor: starts the program named by its command-line tail in its
// own current directory and waits for its end, the least any launcher does.
// As bare_starter it is an ordinary program with the C run-time's start-up.
// With OWN_ENTRY it is built like autorun.exe, with an entry point of its own
// and the launcher's own tail finder: as own_entry_starter, and as
// imports_starter, bound besides to the system libraries that autorun.exe
// imports, to tell their loading apart from the launcher's work.
#include <windows.h>

#include "launcher/command_line.h"

namespace {

UINT StartAndWait(const char* tail) {
#ifdef BIND_LAUNCHER_IMPORTS
  // Never taken (no path starts so); the calls only make the loader bind
  // each library before the program runs, as it does for autorun.exe.
  if (tail[0] == '|') RegCloseKey(HKEY_CURRENT_USER);
#endif
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(tail, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 1;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  return 0;
}

}  // namespace

#ifdef OWN_ENTRY
namespace {
bool NoLeadBytes(unsigned char) { return false; }
}  // namespace

extern "C" [[noreturn]] __attribute__((force_align_arg_pointer)) void AutorunEntry() {
  ExitProcess(StartAndWait(CommandLineTail(GetCommandLineA(), NoLeadBytes)));
}
#else
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR tail, int) {
  return static_cast<int>(StartAndWait(tail));
}
#endif
