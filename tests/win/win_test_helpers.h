// What the Windows-side tests share: folders and files of their own, registry
// keys and values that are put back as they were, environment variables that
// are restored, and sibling programs started and waited for.
#pragma once

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace wintest {

// A crash in a test program ends it at once with a note, instead of waiting
// for Wine's debugger, which would hold the test run until its time-out.
inline LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* crash) {
  std::printf("crashed: exception 0x%08lx\n", crash->ExceptionRecord->ExceptionCode);
  std::fflush(stdout);
  return EXCEPTION_EXECUTE_HANDLER;
}
inline const LPTOP_LEVEL_EXCEPTION_FILTER kPreviousCrashFilter =
    SetUnhandledExceptionFilter(EndOnCrash);

// A name no other test or run uses, for keys, events and guards.
inline std::string UniqueName(const char* prefix) {
  static unsigned counter = 0;
  return std::string(prefix) + std::to_string(GetCurrentProcessId()) + "_" +
         std::to_string(GetTickCount()) + "_" + std::to_string(++counter);
}

// A program built beside the test program.
inline std::string SiblingProgram(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1) + name + ".exe";
}

inline void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// One "key=" line of what the recorder program wrote.
inline std::string RecordedValue(const std::string& record, const std::string& key) {
  const std::size_t start = record.find(key + "=");
  if (start == std::string::npos) return "(missing)";
  const std::size_t from = start + key.size() + 1;
  return record.substr(from, record.find('\n', from) - from);
}

// A folder of the test's own below the temporary folder, removed with its
// files afterwards.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + UniqueName("autorun_");
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  std::string File(const char* name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// A registry key made for the test, with any parents it had to make, deleted
// with everything under it afterwards.
class RegistryKeyScope {
 public:
  RegistryKeyScope(HKEY root, const std::string& path) : root_(root), path_(path) {
    HKEY existing = nullptr;  // find the outermost key that is new
    for (std::size_t end = path.find('\\'); end != std::string::npos;
         end = path.find('\\', end + 1)) {
      if (RegOpenKeyExA(root, path.substr(0, end).c_str(), 0, KEY_READ, &existing) !=
          ERROR_SUCCESS) {
        path_ = path.substr(0, end);
        break;
      }
      RegCloseKey(existing);
    }
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  }
  ~RegistryKeyScope() {
    if (key_ != nullptr) RegCloseKey(key_);
    RegDeleteTreeA(root_, path_.c_str());
  }
  bool IsValid() const { return key_ != nullptr; }
  void SetValue(const char* name, DWORD type, const std::string& data) {
    RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
  }

 private:
  HKEY root_;
  std::string path_;
  HKEY key_ = nullptr;
};

// Saves one registry value (or its absence) and puts it back afterwards.
class RegistryValueScope {
 public:
  RegistryValueScope(HKEY root, const char* path, const char* name) : name_(name) {
    RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD size = 0;
    had_ = RegQueryValueExA(key_, name, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
    data_.resize(size);
    if (had_ && size > 0) {
      RegQueryValueExA(key_, name, nullptr, &type_, reinterpret_cast<BYTE*>(&data_[0]), &size);
    }
  }
  ~RegistryValueScope() {
    Set(type_, had_ ? &data_ : nullptr);
    RegCloseKey(key_);
  }
  // Sets the value; a null `data` removes it.
  void Set(DWORD type, const std::string* data) {
    if (data == nullptr) {
      RegDeleteValueA(key_, name_.c_str());
    } else {
      RegSetValueExA(key_, name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(data->data()),
                     static_cast<DWORD>(data->size()));
    }
  }

 private:
  std::string name_;
  HKEY key_ = nullptr;
  bool had_ = false;
  DWORD type_ = REG_NONE;
  std::string data_;
};

// The process's variable, or "(unset)".
inline std::string EnvironmentValue(const char* name) {
  std::string value(32768, '\0');
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableA(name, &value[0], 32768);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return "(unset)";
  value.resize(length);
  return value;
}

// Saves one of the process's environment variables and restores it afterwards.
class EnvironmentScope {
 public:
  explicit EnvironmentScope(const char* name) : name_(name), saved_(EnvironmentValue(name)) {}
  ~EnvironmentScope() { Set(saved_ == "(unset)" ? nullptr : saved_.c_str()); }
  void Set(const char* value) { SetEnvironmentVariableA(name_.c_str(), value); }

 private:
  std::string name_;
  std::string saved_;
};

// Starts a command line; the process handle, null when it could not start.
inline HANDLE StartCommand(std::string commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

// Waits up to `timeoutMs` for the process to end and closes its handle; its
// exit code, or ~0u when it did not end in time.
inline DWORD FinishProcess(HANDLE process, DWORD timeoutMs = 20000) {
  DWORD code = ~0u;
  if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process, &code);
  } else {
    TerminateProcess(process, 1);
  }
  CloseHandle(process);
  return code;
}

}  // namespace wintest
