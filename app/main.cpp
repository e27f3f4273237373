// autorun.exe's entry point, in place of the C run-time's start-up, which the
// program does without: keeps the library search to the system directory,
// finds the command-line tail, runs the launcher once and ends the process
// with exit code 0, the launcher's only result.
#include <windows.h>

#include "app/windows_operations.h"
#include "launcher/command_line.h"
#include "launcher/run_launcher.h"
#include "platform/library_search.h"
#include "probes/desktop_queries.h"

namespace {

// The operations live in this frame only, so the handles they keep (guard,
// install.dat, started program) are closed when the run ends, before the
// process does.
void RunOnce() {
  WindowsOperations operations;
  RunLauncher(CommandLineTail(GetCommandLineA(), IsSystemLeadByte), operations);
}

}  // namespace

// The linker's entry (app/CMakeLists.txt). 32-bit Windows hands it a stack
// aligned to 4 bytes, which is all the 32-bit build's code assumes (its
// preferred stack boundary is 4 bytes), so nothing is realigned here; the
// 64-bit twin is entered with the 16 bytes its calling convention promises.
extern "C" [[noreturn]] void AutorunEntry() {
  // First of all, while no system library has loaded anything on demand.
  RestrictLibrarySearchToSystem();
  RunOnce();
  ExitProcess(0);
}
