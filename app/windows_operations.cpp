// Wires the launcher's operations to the Windows probes and program start.
#include "app/windows_operations.h"

#include "probes/config_file.h"
#include "probes/desktop_queries.h"
#include "probes/installation_probe.h"
#include "probes/instance_guard.h"
#include "probes/product_shortcut.h"
#include "probes/running_program_probe.h"
#include "start/program_start.h"

namespace {

// The ANSI view of a wide path, for the decision flow; characters outside
// the code page are replaced (by a look-alike or the default character), and
// a view that does not fit is empty.
void ShowInAnsi(const WidePlatformPath& path, PlatformPath& view) {
  if (WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, view.Area(), PlatformPath::kAreaSize,
                          nullptr, nullptr) == 0) {
    view.Clear();
  }
}

// A path of the configuration file, widened; false when it cannot be.
bool Widen(const char* path, WideValueText& wide) {
  return MultiByteToWideChar(CP_ACP, 0, path, -1, wide.Area(), WideValueText::kAreaSize) != 0;
}

// The flow's rule for a shortcut whose "Start in" is blank, on the wide
// target: the target's folder, and a drive's root with its backslash.
void TargetFolder(const wchar_t* target, WideValueText& folder) {
  folder.Assign(target);
  wchar_t* text = folder.Area();
  wchar_t* first = nullptr;
  wchar_t* last = nullptr;
  for (wchar_t* at = text; *at != 0; ++at) {
    if (*at != L'\\') continue;
    if (first == nullptr) first = at;
    last = at;
  }
  if (last == nullptr || last == text) return;
  *(last == first ? last + 1 : last) = 0;
}

}  // namespace

GuardResult WindowsOperations::AcquireInstanceGuard(const char* name) {
  return ::AcquireInstanceGuard(name, guard_);
}
void WindowsOperations::ShowMessage(const char* text, const char* caption) {
  ::ShowMessage(text, caption);
}
bool WindowsOperations::GetCurrentDir(PlatformPath& directory) {
  return ::GetCurrentDir(directory);
}
bool WindowsOperations::ProbeConfigFile(const char* configFilePath) {
  configFile_ = OpenConfigFile(configFilePath);
  return configFile_.IsValid();
}
void WindowsOperations::ReadConfigValue(const char* section, const char* key,
                                        const char* configFilePath, ValueText& value) {
  ::ReadConfigValue(section, key, configFilePath, value);
}
bool WindowsOperations::IsProductInstalled(const char* unInstKey) {
  InstallationFacts ignored;
  return ::IsProductInstalled(unInstKey, ignored);
}
bool WindowsOperations::IsWindowTitlePresent(const char* setupTitle) {
  return ::IsWindowTitlePresent(setupTitle);
}
bool WindowsOperations::IsProgramRunning(const char* exeName) {
  RunningProgramFacts ignored;
  return ::IsProgramRunning(exeName, ignored);
}
bool WindowsOperations::FindProductShortcut(const char* productLink, ValueText& shortcutPath) {
  PlatformPath ignored;
  return ::FindProductShortcut(productLink, shortcutPath, ignored);
}
bool WindowsOperations::ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                                        PlatformPath& workingDirectory) {
  ShortcutFacts ignored;
  return ResolveShortcut(shortcutPath, targetPath, workingDirectory, ignored);
}
bool WindowsOperations::ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                                        PlatformPath& workingDirectory, ShortcutFacts& facts) {
  if (!::ResolveShortcut(shortcutPath, target_, workingDirectory_, facts)) return false;
  ShowInAnsi(target_, targetPath);
  ShowInAnsi(workingDirectory_, workingDirectory);
  return true;
}
bool WindowsOperations::WidePaths(const char* workingDirectory, const char* programPath,
                                  bool fromShortcut, WideValueText& wideDirectory,
                                  WideValueText& wideProgram) const {
  if (!fromShortcut) {
    return Widen(workingDirectory, wideDirectory) && Widen(programPath, wideProgram);
  }
  wideProgram.Assign(target_.c_str());
  if (workingDirectory_.empty()) {
    TargetFolder(target_.c_str(), wideDirectory);
  } else {
    wideDirectory.Assign(workingDirectory_.c_str());
  }
  return true;
}
ProcessHandle WindowsOperations::StartProgram(const char* workingDirectory, const char* programPath,
                                              bool mergeClassPath) {
  WideValueText wideDirectory;
  WideValueText wideProgram;
  // Only the installed product's start merges the class path, and it starts
  // what the shortcut names.
  if (!WidePaths(workingDirectory, programPath, mergeClassPath, wideDirectory, wideProgram)) {
    return nullptr;
  }
  program_.Reset(::StartProgram(wideDirectory.c_str(), wideProgram.c_str(), mergeClassPath));
  return program_.Get();
}
void WindowsOperations::WaitForProgram(ProcessHandle program) { ::WaitForProgram(program); }
LeadBytePredicate WindowsOperations::LeadByteTest() { return IsSystemLeadByte; }
