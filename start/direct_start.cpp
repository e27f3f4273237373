// A program's process created directly.
#include "launcher/fixed_text.h"
#include "start/start_calls.h"

bool CreateProgramProcess(const char* workingDirectory, const char* programPath,
                          PROCESS_INFORMATION& process) {
  // The program's own command line is its path in quotes, alone. Without
  // one, Windows passes the module name unquoted (KB 175986), and a program
  // under "C:\Program Files" sees "C:\Program" and "Files\..." as its
  // arguments. The area is writable, as CreateProcessA requires.
  FixedText<ValueText::kCapacity + 2> commandLine;
  if (!commandLine.Assign("\"") || !commandLine.Append(programPath) || !commandLine.Append("\"")) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  return CreateProcessA(programPath, commandLine.Area(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory, &startup, &process) != FALSE;
}
