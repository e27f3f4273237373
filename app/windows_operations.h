// The launcher's operations on Windows: each one hands over to its probe,
// and the resources the launcher keeps to its end live here.
//
// The product's shortcut is read wide, and the product is started from that
// wide text: the decision flow works in the ANSI code page, which may lack
// characters of the product's folder. The flow is handed the ANSI view of the
// target and working directory; the installed product's start (the only one
// that merges the class path) uses the wide text they stand for, with the
// flow's blank-"Start in" rule applied to it. Every other start widens the
// paths it is given, which come from the configuration file.
#pragma once

#include "launcher/launcher_operations.h"
#include "platform/owners.h"
#include "probes/product_shortcut.h"

class WindowsOperations final : public LauncherOperations {
 public:
  GuardResult AcquireInstanceGuard(const char* name) override;
  void ShowMessage(const char* text, const char* caption) override;
  bool GetCurrentDir(PlatformPath& directory) override;
  bool ProbeConfigFile(const char* configFilePath) override;
  void ReadConfigValue(const char* section, const char* key, const char* configFilePath,
                       ValueText& value) override;
  bool IsProductInstalled(const char* unInstKey) override;
  bool IsWindowTitlePresent(const char* setupTitle) override;
  bool IsProgramRunning(const char* exeName) override;
  bool FindProductShortcut(const char* productLink, ValueText& shortcutPath) override;
  bool ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                       PlatformPath& workingDirectory) override;
  ProcessHandle StartProgram(const char* workingDirectory, const char* programPath,
                             bool mergeClassPath) override;
  void WaitForProgram(ProcessHandle program) override;
  LeadBytePredicate LeadByteTest() override;

  // The resolution, with what it found on the way.
  bool ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                       PlatformPath& workingDirectory, ShortcutFacts& facts);
  // The wide paths that StartProgram starts: for the product `fromShortcut`,
  // the shortcut's target and working directory (its target's folder when
  // "Start in" is blank); otherwise the paths given, widened. False when
  // they cannot be widened.
  bool WidePaths(const char* workingDirectory, const char* programPath, bool fromShortcut,
                 WideValueText& wideDirectory, WideValueText& wideProgram) const;
  // The shortcut's target and working directory as resolved, wide.
  const WidePlatformPath& ShortcutTarget() const { return target_; }
  const WidePlatformPath& ShortcutDirectory() const { return workingDirectory_; }

 private:
  // Held until the launcher ends: the guard, install.dat's shared open, and
  // the started program.
  UniqueHandle guard_;
  UniqueFile configFile_;
  UniqueHandle program_;
  // The product's shortcut, as the shell's link object gave it.
  WidePlatformPath target_;
  WidePlatformPath workingDirectory_;
};
