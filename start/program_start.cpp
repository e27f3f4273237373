// Starts a program in a chosen working directory and waits for it.
#include "start/program_start.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include "platform/system_library.h"
#include "start/start_calls.h"

namespace {

constexpr DWORD kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED

// A program that needs elevation cannot be created directly; the shell
// starts it and shows the user the elevation prompt. The start behaves like
// the direct one: no box of the shell's own when it fails (a failed start is
// silent), finished before the call returns (the launcher may end right
// after it), and the program chooses its own window state. The shell wants
// the component library initialised on the calling thread; it stays so, as
// after the shortcut's resolution.
//
// An elevated program does not inherit the launcher's environment: the
// elevation service creates it with the user's standard environment, built
// from the stored variables, whatever the caller set (see the discussions at
// https://github.com/rmyorston/busybox-w32/issues/486 and
// https://github.com/PowerShell/PowerShell/issues/20923). Such a product sees
// the stored CLASSPATH alone, not the merged value.
HANDLE StartThroughShell(const char* workingDirectory, const char* programPath) {
  const auto initialize = SystemFunction<decltype(&CoInitializeEx)>("OLE32.DLL", "CoInitializeEx");
  if (initialize == nullptr) return nullptr;
  initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = "open";
  info.lpFile = programPath;
  info.lpDirectory = workingDirectory;
  info.nShow = SW_SHOWDEFAULT;
  if (!ExecuteThroughShell(info)) return nullptr;
  return info.hProcess;
}

}  // namespace

ProcessHandle StartProgram(const char* workingDirectory, const char* programPath,
                           bool mergeClassPath) {
  if (mergeClassPath) MergeClassPath();

  PROCESS_INFORMATION process = {};
  if (!CreateProgramProcess(workingDirectory, programPath, process)) {
    if (GetLastError() == kElevationRequired) {
      return StartThroughShell(workingDirectory, programPath);
    }
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

void WaitForProgram(ProcessHandle program) { WaitForSingleObject(program, INFINITE); }
