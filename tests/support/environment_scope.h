// Variables of this process's environment, which the programs it starts
// inherit, read and put back as they were.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The variable's value; none when it is unset (an empty value is set).
inline std::optional<std::string> EnvironmentValue(const char* name) {
  std::string value(32768, '\0');
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableA(name, &value[0], 32768);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  value.resize(length < 32768 ? length : 0);
  return value;
}

// The same in UTF-16, as the system holds it.
inline std::optional<std::wstring> WideEnvironmentValue(const wchar_t* name) {
  std::wstring value(32768, L'\0');
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableW(name, &value[0], 32768);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  value.resize(length < 32768 ? length : 0);
  return value;
}

// Saves one variable and restores it (or its absence) when it goes, wide, so
// that no character of it is lost.
class EnvironmentScope {
 public:
  explicit EnvironmentScope(const char* name)
      : name_(name, name + std::char_traits<char>::length(name)),
        saved_(WideEnvironmentValue(name_.c_str())) {}
  // Saves the variable, then sets it to `value` (null: removes it).
  EnvironmentScope(const char* name, const char* value) : EnvironmentScope(name) { Set(value); }
  EnvironmentScope(const EnvironmentScope&) = delete;
  EnvironmentScope& operator=(const EnvironmentScope&) = delete;
  ~EnvironmentScope() { SetWide(saved_ ? saved_->c_str() : nullptr); }
  // Sets the variable, from text in the ANSI code page; null removes it.
  void Set(const char* value) {
    SetEnvironmentVariableA(std::string(name_.begin(), name_.end()).c_str(), value);
  }
  void SetWide(const wchar_t* value) { SetEnvironmentVariableW(name_.c_str(), value); }

 private:
  std::wstring name_;  // ASCII
  std::optional<std::wstring> saved_;
};
