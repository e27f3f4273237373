// A program that a test starts and waits for; one still running when its
// owner goes is ended.
#pragma once

#include <windows.h>

#include <string>

class StartedProcess {
 public:
  // What Finish returns when the program had to be ended, or never started.
  static constexpr DWORD kTimedOut = 0xFFFF0001;
  static constexpr DWORD kNotStarted = 0xFFFF0002;

  // Starts `program` with `arguments` in `workingDirectory` (empty: this
  // process's own).
  StartedProcess(const std::string& program, const std::string& arguments,
                 const std::string& workingDirectory = "", DWORD creationFlags = 0);
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;
  ~StartedProcess();

  bool Started() const { return process_ != nullptr; }
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_; }
  bool HasEnded(DWORD timeoutMs) const;
  DWORD ExitCode() const;
  // Waits up to `timeoutMs` for the program's end and ends it when it is
  // late; its exit code, kTimedOut or kNotStarted.
  DWORD Finish(DWORD timeoutMs = 20000);

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};
