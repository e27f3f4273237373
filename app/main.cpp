// autorun.exe: finds the command-line tail, runs the launcher once and exits
// with its result, which is always 0.
#include <windows.h>

#include "app/windows_operations.h"
#include "launcher/command_line.h"
#include "launcher/run_launcher.h"
#include "probes/desktop_queries.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  WindowsOperations operations;
  return RunLauncher(CommandLineTail(GetCommandLineA(), IsSystemLeadByte), operations);
}
