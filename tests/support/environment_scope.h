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

// Saves one variable and restores it (or its absence) when it goes.
class EnvironmentScope {
 public:
  explicit EnvironmentScope(const char* name) : name_(name), saved_(EnvironmentValue(name)) {}
  // Saves the variable, then sets it to `value` (null: removes it).
  EnvironmentScope(const char* name, const char* value) : EnvironmentScope(name) { Set(value); }
  EnvironmentScope(const EnvironmentScope&) = delete;
  EnvironmentScope& operator=(const EnvironmentScope&) = delete;
  ~EnvironmentScope() { Set(saved_ ? saved_->c_str() : nullptr); }
  // Sets the variable; null removes it.
  void Set(const char* value) { SetEnvironmentVariableA(name_.c_str(), value); }

 private:
  std::string name_;
  std::optional<std::string> saved_;
};
