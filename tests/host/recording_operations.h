// A fake of the launcher's operations for host tests: records every call, with
// its arguments, as one readable line, and answers from plain fields whose
// defaults describe a typical medium on a machine where nothing is running.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "launcher/launcher_operations.h"

class RecordingOperations final : public LauncherOperations {
 public:
  GuardResult guard = GuardResult::Created;
  bool currentDirKnown = true;
  std::string currentDir = "D:\\media";
  bool configFilePresent = true;
  // "Section/Key" -> value; a missing key reads empty.
  std::map<std::string, std::string> values = {{"Config/UnInstKey", "Prod"},
                                               {"Config/SetupPath", "setup.exe"},
                                               {"AppRun/RunFirst", "first.exe"},
                                               {"Config/SetupTitle", "Prod Setup"},
                                               {"Config/ExeName", "prod.exe"},
                                               {"AppRun/Installed", "tools.exe"},
                                               {"Config/ProductLink", "Prod\\Prod.lnk"}};
  bool installed = false;
  bool windowPresent = false;
  bool programRunning = false;
  bool shortcutFound = true;
  std::string shortcutPath = "C:\\Menu\\Prod.lnk";
  bool resolves = true;
  std::string targetPath = "C:\\Prod\\prod.exe";
  std::string targetDir = "C:\\Prod";
  ProcessHandle startResult = &startedProgram_;  // nullptr: the start fails
  LeadBytePredicate leadByte = nullptr;

  std::vector<std::string> calls;

  GuardResult AcquireInstanceGuard(const char* name) override {
    Record("AcquireInstanceGuard", {name});
    return guard;
  }
  void ShowMessage(const char* text, const char* caption) override {
    Record("ShowMessage", {text, caption});
  }
  bool GetCurrentDir(PlatformPath& directory) override {
    Record("GetCurrentDir", {});
    return currentDirKnown && Fill(directory, currentDir);
  }
  bool ProbeConfigFile(const char* configFilePath) override {
    Record("ProbeConfigFile", {configFilePath});
    return configFilePresent;
  }
  void ReadConfigValue(const char* section, const char* key, const char* configFilePath,
                       ValueText& value) override {
    Record("ReadConfigValue", {section, key, configFilePath});
    const auto found = values.find(std::string(section) + "/" + key);
    Fill(value, found == values.end() ? std::string() : found->second);
  }
  bool IsProductInstalled(const char* unInstKey) override {
    Record("IsProductInstalled", {unInstKey});
    return installed;
  }
  bool IsWindowTitlePresent(const char* setupTitle) override {
    Record("IsWindowTitlePresent", {setupTitle});
    return windowPresent;
  }
  bool IsProgramRunning(const char* exeName) override {
    Record("IsProgramRunning", {exeName});
    return programRunning;
  }
  bool FindProductShortcut(const char* productLink, ValueText& path) override {
    Record("FindProductShortcut", {productLink});
    return shortcutFound && Fill(path, shortcutPath);
  }
  bool ResolveShortcut(const char* path, PlatformPath& target, PlatformPath& directory) override {
    Record("ResolveShortcut", {path});
    return resolves && Fill(target, targetPath) && Fill(directory, targetDir);
  }
  ProcessHandle StartProgram(const char* workingDirectory, const char* programPath,
                             bool mergeClassPath) override {
    Record("StartProgram", {workingDirectory, programPath, mergeClassPath ? "merge" : "no merge"});
    return startResult;
  }
  void WaitForProgram(ProcessHandle program) override {
    Record("WaitForProgram", {program == startResult ? "started" : "unknown handle"});
  }
  LeadBytePredicate LeadByteTest() override { return leadByte; }

 private:
  void Record(const char* operation, std::initializer_list<std::string> arguments) {
    std::string line = std::string(operation) + "(";
    const char* separator = "";
    for (const std::string& argument : arguments) {
      line += separator + argument;
      separator = "|";
    }
    calls.push_back(line + ")");
  }
  // A fake answer that does not fit the area is a mistake in the test.
  template <std::size_t N>
  static bool Fill(FixedText<N>& area, const std::string& text) {
    const bool fits = area.Assign(text.c_str());
    if (!fits) ADD_FAILURE() << "fake answer too long: " << text.size();
    return fits;
  }

  static inline int startedProgram_ = 0;
};
