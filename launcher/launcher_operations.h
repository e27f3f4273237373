// Everything the decision flow asks of the machine. The Windows side
// implements it for autorun.exe; tests use a recording fake.
#pragma once

#include "launcher/fixed_text.h"
#include "launcher/lead_byte.h"

enum class GuardResult { Created, AlreadyExists, Failed };

// A started program, used only to wait for its end; null when the start failed.
using ProcessHandle = void*;

struct LauncherOperations {
  // Creates the single-instance guard under `name`.
  virtual GuardResult AcquireInstanceGuard(const char* name) = 0;
  // Shows a box with an OK button; returns once the user dismissed it.
  virtual void ShowMessage(const char* text, const char* caption) = 0;
  // False when the current directory cannot be had or exceeds 259 characters.
  virtual bool GetCurrentDir(PlatformPath& directory) = 0;
  // Whether the configuration file can be opened for reading.
  virtual bool ProbeConfigFile(const char* configFilePath) = 0;
  // The key's value (at most 1023 characters); empty when missing.
  virtual void ReadConfigValue(const char* section, const char* key, const char* configFilePath,
                               ValueText& value) = 0;
  virtual bool IsProductInstalled(const char* unInstKey) = 0;
  virtual bool IsWindowTitlePresent(const char* setupTitle) = 0;
  // May show its own box when the process-status library is unusable.
  virtual bool IsProgramRunning(const char* exeName) = 0;
  // Fills `shortcutPath` with the full path when the shortcut exists.
  virtual bool FindProductShortcut(const char* productLink, ValueText& shortcutPath) = 0;
  virtual bool ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                               PlatformPath& workingDirectory) = 0;
  virtual ProcessHandle StartProgram(const char* workingDirectory, const char* programPath,
                                     bool mergeClassPath) = 0;
  virtual void WaitForProgram(ProcessHandle program) = 0;
  // The system code page's lead-byte test, for splitting paths.
  virtual LeadBytePredicate LeadByteTest() = 0;

 protected:
  ~LauncherOperations() = default;
};
