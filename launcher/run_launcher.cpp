// The decision flow: guard, mode, configuration file, installation status,
// then the setup road or the installed road.
#include "launcher/run_launcher.h"

#include "launcher/messages.h"
#include "launcher/split_path.h"
#include "launcher/text_search.h"

namespace {

constexpr char kGuardName[] = "TavikAutorun_DemoVersion";
constexpr char kConfigFileName[] = "\\install.dat";

enum class LaunchMode { Autorun, DirectRun };

LaunchMode ChooseLaunchMode(const char* tail) {
  if (ContainsText(tail, "-a") || ContainsText(tail, "/a")) return LaunchMode::DirectRun;
  return LaunchMode::Autorun;
}

// Starts a program of the medium: its path is the medium's root followed by
// `programValue`, its working directory the launcher's own directory. A path
// that would not fit its area starts nothing.
void StartFromMedium(LauncherOperations& ops, const ValueText& configFilePath,
                     const char* programValue, bool wait) {
  const LeadBytePredicate isLeadByte = ops.LeadByteTest();
  ValueText programPath;
  SplitPath(configFilePath.c_str(), PathPart::Root, programPath, isLeadByte);
  if (!programPath.Append(programValue)) return;
  ValueText workingDirectory;
  SplitPath(configFilePath.c_str(), PathPart::Directory, workingDirectory, isLeadByte);

  const ProcessHandle program =
      ops.StartProgram(workingDirectory.c_str(), programPath.c_str(), false);
  if (wait && program != nullptr) ops.WaitForProgram(program);
}

// A shortcut whose "Start in" field is blank resolves to an empty working
// directory, in which no program can be started at all. Such a shortcut
// starts its target in the target's own folder; a target in a drive's root
// keeps the root's backslash, since a bare "C:" names whatever directory is
// current on that drive.
void UseTargetFolder(LauncherOperations& ops, const PlatformPath& targetPath,
                     PlatformPath& workingDirectory) {
  const LeadBytePredicate isLeadByte = ops.LeadByteTest();
  PlatformPath root;
  SplitPath(targetPath.c_str(), PathPart::Directory, workingDirectory, isLeadByte);
  SplitPath(targetPath.c_str(), PathPart::Root, root, isLeadByte);
  if (root.size() == workingDirectory.size() + 1) workingDirectory.Assign(root.c_str());
}

void RunSetupRoad(LauncherOperations& ops, LaunchMode mode, const ValueText& configFilePath) {
  ValueText value;
  if (mode == LaunchMode::Autorun) {
    ops.ReadConfigValue("Config", "SetupPath", configFilePath.c_str(), value);
  } else {
    ops.ReadConfigValue("AppRun", "RunFirst", configFilePath.c_str(), value);
  }
  StartFromMedium(ops, configFilePath, value.c_str(), mode == LaunchMode::Autorun);
}

void RunInstalledRoad(LauncherOperations& ops, LaunchMode mode, const ValueText& configFilePath) {
  ValueText value;
  // Without a configured title or product name there is nothing to look
  // for: an empty title matches some hidden window on every desktop and an
  // empty name every program, which would block the product for good.
  ops.ReadConfigValue("Config", "SetupTitle", configFilePath.c_str(), value);
  if (!value.empty() && ops.IsWindowTitlePresent(value.c_str())) {
    ops.ShowMessage(kSetupRunningText, kWarningCaption);
    return;
  }
  ops.ReadConfigValue("Config", "ExeName", configFilePath.c_str(), value);
  if (!value.empty() && ops.IsProgramRunning(value.c_str())) {
    ops.ShowMessage(kProductRunningText, kWarningCaption);
    return;
  }

  if (mode == LaunchMode::DirectRun) {
    ops.ReadConfigValue("AppRun", "Installed", configFilePath.c_str(), value);
    StartFromMedium(ops, configFilePath, value.c_str(), false);
    return;
  }

  ops.ReadConfigValue("Config", "ProductLink", configFilePath.c_str(), value);
  ValueText shortcutPath;
  if (!ops.FindProductShortcut(value.c_str(), shortcutPath)) {
    ops.ShowMessage(kLinkNotFoundText, kAutorunCaption);
    return;
  }
  PlatformPath targetPath;
  PlatformPath workingDirectory;
  if (!ops.ResolveShortcut(shortcutPath.c_str(), targetPath, workingDirectory)) return;
  if (workingDirectory.empty()) UseTargetFolder(ops, targetPath, workingDirectory);

  const ProcessHandle program =
      ops.StartProgram(workingDirectory.c_str(), targetPath.c_str(), true);
  if (program != nullptr) ops.WaitForProgram(program);
}

void Run(const char* tail, LauncherOperations& ops) {
  switch (ops.AcquireInstanceGuard(kGuardName)) {
    case GuardResult::Failed:
      return;
    case GuardResult::AlreadyExists:
      ops.ShowMessage(kLauncherRunningText, kAutorunCaption);
      return;
    case GuardResult::Created:
      break;
  }
  const LaunchMode mode = ChooseLaunchMode(tail);

  PlatformPath currentDirectory;
  if (!ops.GetCurrentDir(currentDirectory)) return;
  ValueText configFilePath;
  // Both fit: at most 259 characters and the 12 of the file name.
  configFilePath.Assign(currentDirectory.c_str());
  configFilePath.Append(kConfigFileName);

  if (!ops.ProbeConfigFile(configFilePath.c_str())) {
    ops.ShowMessage(configFilePath.c_str(), kWarningCaption);
    return;
  }

  ValueText unInstKey;
  ops.ReadConfigValue("Config", "UnInstKey", configFilePath.c_str(), unInstKey);
  if (ops.IsProductInstalled(unInstKey.c_str())) {
    RunInstalledRoad(ops, mode, configFilePath);
  } else {
    RunSetupRoad(ops, mode, configFilePath);
  }
}

}  // namespace

int RunLauncher(const char* commandLineTail, LauncherOperations& operations) {
  Run(commandLineTail, operations);
  return 0;
}
