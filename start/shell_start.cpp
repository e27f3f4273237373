// A program handed to the shell.
#include "platform/system_library.h"
#include "start/start_calls.h"

bool ExecuteThroughShell(SHELLEXECUTEINFOW& info) {
  const auto shellExecute =
      SystemFunction<decltype(&ShellExecuteExW)>("SHELL32.DLL", "ShellExecuteExW");
  return shellExecute != nullptr && shellExecute(&info) != FALSE;
}
