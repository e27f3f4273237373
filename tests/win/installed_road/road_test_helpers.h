// What the installed-road tests share: folders of their own that vanish
// afterwards, the build's programs beside the test, and helper processes
// started with a chosen working directory and environment.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>

// A fresh folder that is removed with everything in it when the owner goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string path) : path_(std::move(path)) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// A name no other test run on this machine uses at the same time.
inline std::string UniqueName(const char* stem) {
  return std::string(stem) + " " + std::to_string(GetCurrentProcessId());
}

inline std::string TempFolderPath(const char* stem) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return temp + UniqueName(stem);
}

// A program of this build: they all land in one folder with the test.
inline std::string BuildProgram(const char* fileName) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of('\\') + 1) + fileName;
}

// Sets an environment variable of this process (inherited by the programs it
// starts) and restores the earlier value when it goes.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    char old[4096];
    const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
    had_ = length != 0 && length < sizeof old;
    if (had_) old_.assign(old, length);
    SetEnvironmentVariableA(name, value.c_str());
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// Starts `program` with `arguments` in `directory`; null when it failed.
inline HANDLE StartHelper(const std::string& program, const std::string& arguments,
                          const std::string& directory, DWORD creationFlags = 0) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, creationFlags,
                      nullptr, directory.c_str(), &startup, &started)) {
    return nullptr;
  }
  CloseHandle(started.hThread);
  return started.hProcess;
}

// Runs a helper to its end and returns its exit code; kTimedOut when it had
// to be stopped, kNotStarted when it could not be started.
constexpr DWORD kTimedOut = 0xFFFF0001;
constexpr DWORD kNotStarted = 0xFFFF0002;
inline DWORD RunHelper(const std::string& program, const std::string& arguments,
                       const std::string& directory) {
  const HANDLE process = StartHelper(program, arguments, directory);
  if (process == nullptr) return kNotStarted;
  DWORD code = kTimedOut;
  if (WaitForSingleObject(process, 20000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process, &code);
  } else {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
  }
  CloseHandle(process);
  return code;
}

// Waits up to `timeoutMs` for a file to appear.
inline bool WaitForFile(const std::string& path, DWORD timeoutMs) {
  for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}
