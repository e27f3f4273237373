// Starts a program in a chosen working directory and waits for it.
#include "start/program_start.h"

#include <windows.h>

#include <shellapi.h>

#include "probes/desktop.h"

namespace {

constexpr DWORD kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED

// A program that needs elevation cannot be created directly; the shell
// starts it and shows the user the elevation prompt.
HANDLE StartThroughShell(const char* workingDirectory, const char* programPath) {
  const auto shellExecute =
      SystemFunction<decltype(&ShellExecuteExA)>("SHELL32.DLL", "ShellExecuteExA");
  if (shellExecute == nullptr) return nullptr;
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "open";
  info.lpFile = programPath;
  info.lpDirectory = workingDirectory;
  info.nShow = SW_SHOWNORMAL;
  if (!shellExecute(&info)) return nullptr;
  return info.hProcess;
}

}  // namespace

ProcessHandle StartProgram(const char* workingDirectory, const char* programPath,
                           bool mergeClassPath) {
  if (mergeClassPath) MergeClassPath();

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(programPath, nullptr, nullptr, nullptr, FALSE, 0, nullptr, workingDirectory,
                      &startup, &process)) {
    if (GetLastError() == kElevationRequired) {
      return StartThroughShell(workingDirectory, programPath);
    }
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

void WaitForProgram(ProcessHandle program) { WaitForSingleObject(program, INFINITE); }
