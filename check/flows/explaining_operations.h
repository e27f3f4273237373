// The launcher's Windows operations, reporting: every question goes to the
// launcher's own probe and is printed with its answer and the facts the probe
// found. Three operations are reports only: the guard is looked at, never
// created; a box is printed, not shown, and the flow goes on as after the
// user's OK; a program is printed with its working directory and CLASSPATH,
// never started. Lines go to the explanation's trace (trace.h), in UTF-8, in
// the line format of --simulate, each call's name in brackets.
#pragma once

#include <string>

#include "app/windows_operations.h"
#include "check/flows/start_prediction.h"
#include "check/read/windows_text.h"

class ExplainingOperations final : public LauncherOperations {
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

  // What the run came to, for its last line.
  int boxes = 0;
  std::string started;  // the program it would start, in UTF-8; empty: none
  std::string startedIn;
  bool waits = false;
  // What Windows makes of the start, and when it blocks or refuses it, what
  // happens instead.
  StartPrediction judged;
  std::string refused;
  // The one reason that decides the run, and what to do about it: the last
  // step that ended the run, or the start.
  std::string reason;
  std::string action;
  std::string lastBox;  // the text of the last box, quoted

 private:
  void Decide(std::string why, std::string toDo);
  void DecideStart();

  WindowsOperations windows_;
  int startedMark_ = 0;  // what StartProgram hands back for the wait
  bool installed_ = false;
  bool directRun_ = false;  // the flow read [AppRun]: -a or /a
  std::string unInstKey_;
};
