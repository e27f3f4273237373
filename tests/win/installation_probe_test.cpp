// The installation probe against uninstall entries made for the test in the
// machine's registry (this 32-bit program writes the view the probe reads).
#include <gtest/gtest.h>

#include "probes/installation_probe.h"
#include "tests/support/end_on_crash.h"
#include "tests/support/registry_scope.h"
#include "tests/support/unique_name.h"

namespace {
constexpr char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
}

TEST(IsProductInstalled, NeedsAnUninstallCommandInTheMachineWideEntry) {
  const struct {
    const char* name;
    HKEY root;
    const char* valueName;
    DWORD type;
    std::string data;
    bool installed;
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
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string unInstKey = UniqueName("AutorunTest_");
    RegistryKeyScope entry(row.root, std::string(kUninstallList) + "\\" + unInstKey);
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
