// Registry state a test puts in place and takes away again: a key of its own,
// or one value put back as it was. Both work in the view the launcher reads
// (registry_view.h) unless told another, and remove the keys they had to
// create.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/registry_view.h"

// A key made for the test, with any parents it had to make; the outermost
// key it made goes afterwards with everything below it.
class RegistryKeyScope {
 public:
  RegistryKeyScope(HKEY root, const std::string& path, REGSAM view = kLauncherRegistryView);
  RegistryKeyScope(const RegistryKeyScope&) = delete;
  RegistryKeyScope& operator=(const RegistryKeyScope&) = delete;
  ~RegistryKeyScope();
  bool IsValid() const { return key_ != nullptr; }
  bool SetValue(const char* name, DWORD type, const std::string& data);

 private:
  HKEY root_;
  REGSAM view_;
  std::string created_;  // the outermost key that was missing
  HKEY key_ = nullptr;
};

// Saves one value (or its absence), of any type, and puts it back afterwards;
// the keys on its way that were missing go again, unless something else
// has been put into them meanwhile.
class RegistryValueScope {
 public:
  RegistryValueScope(HKEY root, const std::string& path, const char* name,
                     REGSAM view = kLauncherRegistryView);
  RegistryValueScope(const RegistryValueScope&) = delete;
  RegistryValueScope& operator=(const RegistryValueScope&) = delete;
  ~RegistryValueScope();
  bool IsValid() const { return key_ != nullptr; }
  // Sets the value; a null `data` removes it. False when that failed.
  bool Set(DWORD type, const std::string* data);
  // Sets text with its terminator (REG_SZ); null removes the value.
  bool SetText(const char* text);
  // Sets UTF-16 text of a text type (REG_SZ, REG_EXPAND_SZ) with its terminator.
  bool SetWide(DWORD type, const std::wstring& text);

 private:
  HKEY root_;
  REGSAM view_;
  std::string path_;
  std::string name_;
  std::string created_;  // the outermost key that was missing
  HKEY key_ = nullptr;
  bool had_ = false;
  DWORD type_ = REG_NONE;
  std::string data_;  // as stored, also for text (UTF-16)
};
