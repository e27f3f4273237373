// The start floor: starts the program named by its command-line tail in its
// own current directory and waits for its end, the least any launcher does.
// Built a second time as imports_starter, bound to the system libraries that
// autorun.exe imports, to tell their loading apart from the launcher's work.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR tail, int) {
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
