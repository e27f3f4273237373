// A program's process created directly.
#include "start/start_calls.h"

bool CreateProgramProcess(const char* workingDirectory, const char* programPath,
                          PROCESS_INFORMATION& process) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  return CreateProcessA(programPath, nullptr, nullptr, nullptr, FALSE, 0, nullptr, workingDirectory,
                        &startup, &process) != FALSE;
}
