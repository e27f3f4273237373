// Programs started for a test, waited for, and ended when they outlive it.
#include "tests/support/started_process.h"

#include <vector>

#include "tests/support/patience.h"

StartedProcess::StartedProcess(const std::string& program, const std::string& arguments,
                               const std::string& workingDirectory, DWORD creationFlags) {
  const std::string line = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, creationFlags,
                     nullptr, workingDirectory.empty() ? nullptr : workingDirectory.c_str(),
                     &startup, &started)) {
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    id_ = started.dwProcessId;
  }
}

StartedProcess::~StartedProcess() {
  if (process_ == nullptr) return;
  if (!HasEnded(3000)) TerminateProcess(process_, 1);
  CloseHandle(process_);
}

bool StartedProcess::HasEnded(DWORD timeoutMs) const {
  return WaitForSingleObject(process_, Patience(timeoutMs)) == WAIT_OBJECT_0;
}

DWORD StartedProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

DWORD StartedProcess::Finish(DWORD timeoutMs) {
  if (process_ == nullptr) return kNotStarted;
  if (HasEnded(timeoutMs)) return ExitCode();
  TerminateProcess(process_, 1);
  HasEnded(5000);
  return kTimedOut;
}
