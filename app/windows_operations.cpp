// Wires the launcher's operations to the Windows probes and program start.
#include "app/windows_operations.h"

#include "probes/config_file.h"
#include "probes/desktop_queries.h"
#include "probes/installation_probe.h"
#include "probes/instance_guard.h"
#include "probes/product_shortcut.h"
#include "probes/running_program_probe.h"
#include "start/program_start.h"

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
  return ::IsProductInstalled(unInstKey);
}
bool WindowsOperations::IsWindowTitlePresent(const char* setupTitle) {
  return ::IsWindowTitlePresent(setupTitle);
}
bool WindowsOperations::IsProgramRunning(const char* exeName) {
  return ::IsProgramRunning(exeName);
}
bool WindowsOperations::FindProductShortcut(const char* productLink, ValueText& shortcutPath) {
  return ::FindProductShortcut(productLink, shortcutPath);
}
bool WindowsOperations::ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                                        PlatformPath& workingDirectory) {
  return ::ResolveShortcut(shortcutPath, targetPath, workingDirectory);
}
ProcessHandle WindowsOperations::StartProgram(const char* workingDirectory, const char* programPath,
                                              bool mergeClassPath) {
  program_.Reset(::StartProgram(workingDirectory, programPath, mergeClassPath));
  return program_.Get();
}
void WindowsOperations::WaitForProgram(ProcessHandle program) { ::WaitForProgram(program); }
LeadBytePredicate WindowsOperations::LeadByteTest() { return IsSystemLeadByte; }
