// A program handed to the shell.
#include "platform/system_library.h"
#include "start/start_calls.h"

bool ExecuteThroughShell(SHELLEXECUTEINFOA& info) {
  const auto shellExecute =
      SystemFunction<decltype(&ShellExecuteExA)>("SHELL32.DLL", "ShellExecuteExA");
  return shellExecute != nullptr && shellExecute(&info) != FALSE;
}
