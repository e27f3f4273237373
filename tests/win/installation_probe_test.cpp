// The installation probe against uninstall entries made for the test in the
// machine's registry: in the view the probe reads first (the one of this
// program's bitness) and in the 64-bit view, where a 64-bit setup writes.
#include <gtest/gtest.h>

#include <optional>

#include "probes/installation_probe.h"
#include "tests/support/end_on_crash.h"
#include "tests/support/registry_scope.h"
#include "tests/support/unique_name.h"

namespace {
constexpr char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The probe's answer, checked against the views it says it read: installed
// exactly when one held a command, the 64-bit view asked only when the own
// one held none (and neither for a name that does not fit).
bool IsProductInstalled(const char* unInstKey) {
  InstallationFacts facts{};
  const bool installed = ::IsProductInstalled(unInstKey, facts);
  const bool ownHasCommand = facts.ownView == UninstallEntry::WithCommand;
  const bool ownAsked = facts.ownView != UninstallEntry::NotAsked;
  EXPECT_EQ(installed, ownHasCommand || facts.view64 == UninstallEntry::WithCommand);
  EXPECT_EQ(facts.view64 == UninstallEntry::NotAsked, ownHasCommand || !ownAsked);
  return installed;
}
}  // namespace

TEST(IsProductInstalled, NeedsAnUninstallCommandInTheMachineWideEntry) {
  const struct {
    const char* name;
    HKEY root;
    const char* valueName;
    DWORD type;
    std::string data;
    bool installed;
    REGSAM view = kLauncherRegistryView;
    bool bareEntryIn32BitView = false;  // an entry without the value there too
  } rows[] = {
      {"command", HKEY_LOCAL_MACHINE, "UninstallString", REG_SZ, "C:\\x\\uninst.exe", true},
      {"empty command", HKEY_LOCAL_MACHINE, "UninstallString", REG_SZ, std::string(1, '\0'), true},
      {"command of another type", HKEY_LOCAL_MACHINE, "UninstallString", REG_DWORD,
       std::string(4, '\1'), true},
      {"command longer than the read area", HKEY_LOCAL_MACHINE, "UninstallString", REG_SZ,
       std::string(1999, 'u') + '\0', true},
      {"entry without command", HKEY_LOCAL_MACHINE, "DisplayName", REG_SZ, "Demo", false},
      {"entry of the current user only", HKEY_CURRENT_USER, "UninstallString", REG_SZ,
       "C:\\x\\uninst.exe", false},
      // A 32-bit launcher on 64-bit Windows reads the 32-bit view first.
      {"command in the 64-bit view only", HKEY_LOCAL_MACHINE, "UninstallString", REG_SZ,
       "C:\\x\\uninst.exe", true, KEY_WOW64_64KEY},
      {"command in the 64-bit view, bare entry in the 32-bit one", HKEY_LOCAL_MACHINE,
       "UninstallString", REG_SZ, "C:\\x\\uninst.exe", true, KEY_WOW64_64KEY, true},
      {"entry without command in the 64-bit view", HKEY_LOCAL_MACHINE, "DisplayName", REG_SZ,
       "Demo", false, KEY_WOW64_64KEY, true},
      {"user entry in the 64-bit view only", HKEY_CURRENT_USER, "UninstallString", REG_SZ,
       "C:\\x\\uninst.exe", false, KEY_WOW64_64KEY},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string unInstKey = UniqueName("AutorunTest_");
    const std::string path = std::string(kUninstallList) + "\\" + unInstKey;
    std::optional<RegistryKeyScope> bare;
    if (row.bareEntryIn32BitView) {
      ASSERT_TRUE(bare.emplace(row.root, path, KEY_WOW64_32KEY).IsValid());
    }
    RegistryKeyScope entry(row.root, path, row.view);
    ASSERT_TRUE(entry.IsValid());
    entry.SetValue(row.valueName, row.type, row.data);
    EXPECT_EQ(IsProductInstalled(unInstKey.c_str()), row.installed);
  }
  EXPECT_FALSE(IsProductInstalled(UniqueName("AutorunTestMissing_").c_str()));
  // Names that do not fit the 1023-character subkey after the list's
  // 52-character prefix are neither cut nor overrun.
  EXPECT_FALSE(IsProductInstalled(std::string(972, 'k').c_str()));
  EXPECT_FALSE(IsProductInstalled(std::string(5000, 'k').c_str()));
}

TEST(IsProductInstalled, EmptyNameProbesTheListItself) {
  RegistryValueScope listCommand(HKEY_LOCAL_MACHINE, kUninstallList, "UninstallString");
  listCommand.Set(REG_SZ, nullptr);
  EXPECT_FALSE(IsProductInstalled(""));
  const std::string command = "C:\\x\\uninst.exe";
  listCommand.Set(REG_SZ, &command);
  EXPECT_TRUE(IsProductInstalled(""));
}
