// A program's process created directly.
#include "launcher/fixed_text.h"
#include "start/start_calls.h"

bool CreateProgramProcess(const wchar_t* workingDirectory, const wchar_t* programPath,
                          PROCESS_INFORMATION& process) {
  // The program's own command line is its path in quotes, alone. Without
  // one, Windows passes the module name unquoted (KB 175986), and a program
  // under "C:\Program Files" sees "C:\Program" and "Files\..." as its
  // arguments. The area is writable, as CreateProcessW requires.
  WideText<WideValueText::kCapacity + 2> commandLine;
  if (!commandLine.Assign(L"\"") || !commandLine.Append(programPath) ||
      !commandLine.Append(L"\"")) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  return CreateProcessW(programPath, commandLine.Area(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory, &startup, &process) != FALSE;
}
