// Starts a program in a chosen working directory and waits for it.
#include "start/program_start.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include "platform/com_apartment.h"
#include "start/start_calls.h"

namespace {

constexpr DWORD kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED

// A program that needs elevation cannot be created directly; the shell
// starts it and shows the user the elevation prompt. The start behaves like
// the direct one: no box of the shell's own when it fails (a failed start is
// silent), finished before the call returns (the launcher may end right
// after it), and the program chooses its own window state. The shell wants
// the component library initialised on the calling thread, and only for the
// call: the launcher then waits, and must not hold an apartment.
//
// An elevated program does not inherit the launcher's environment: the
// elevation service creates it with the user's standard environment, built
// from the stored variables, whatever the caller set (see the discussions at
// https://github.com/rmyorston/busybox-w32/issues/486 and
// https://github.com/PowerShell/PowerShell/issues/20923). Such a product sees
// the stored CLASSPATH alone, not the merged value.
HANDLE StartThroughShell(const wchar_t* workingDirectory, const wchar_t* programPath) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = programPath;
  info.lpDirectory = workingDirectory;
  info.nShow = SW_SHOWDEFAULT;
  if (!ExecuteThroughShell(info)) return nullptr;
  return info.hProcess;
}

// An elevated program runs in a logon session of its own, which does not see
// the user's mapped network drives (KB 937624): a path on such a drive is
// handed on by its universal name, and as it is when that cannot be had.
const wchar_t* SeenWhenElevated(const wchar_t* path, WideValueText& universal) {
  if (path[0] == 0 || path[1] != L':') return path;
  const wchar_t root[] = {path[0], L':', L'\\', 0};
  if (DriveTypeOf(root) != DRIVE_REMOTE || !UniversalNameOf(path, universal)) return path;
  return universal.c_str();
}

}  // namespace

ProcessHandle StartProgram(const wchar_t* workingDirectory, const wchar_t* programPath,
                           bool mergeClassPath) {
  if (mergeClassPath) MergeClassPath();

  PROCESS_INFORMATION process = {};
  if (!CreateProgramProcess(workingDirectory, programPath, process)) {
    if (GetLastError() == kElevationRequired) {
      WideValueText universalDirectory;
      WideValueText universalProgram;
      return StartThroughShell(SeenWhenElevated(workingDirectory, universalDirectory),
                               SeenWhenElevated(programPath, universalProgram));
    }
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

void WaitForProgram(ProcessHandle program) { WaitForSingleObject(program, INFINITE); }
