// The decision flow against a recording fake: for each situation on the
// medium and the machine, the exact operations made, in order.
#include "launcher/run_launcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/recording_operations.h"

namespace {

using Ops = RecordingOperations;
using Calls = std::vector<std::string>;

const std::string kConfig = "D:\\media\\install.dat";

std::string Read(const std::string& sectionAndKey, const std::string& config = kConfig) {
  return "ReadConfigValue(" + sectionAndKey + "|" + config + ")";
}

Calls Then(Calls head, std::initializer_list<std::string> tail) {
  head.insert(head.end(), tail);
  return head;
}

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

Ops& Installed(Ops& o) {
  o.installed = true;
  return o;
}

const std::string kGuard = "AcquireInstanceGuard(TavikAutorun_DemoVersion)";
const Calls kOpened = {kGuard, "GetCurrentDir()", "ProbeConfigFile(" + kConfig + ")",
                       Read("Config|UnInstKey")};
const Calls kNotInstalled = Then(kOpened, {"IsProductInstalled(Prod)"});
const Calls kInstalled = Then(kOpened, {"IsProductInstalled(Prod)", Read("Config|SetupTitle"),
                                        "IsWindowTitlePresent(Prod Setup)"});
const Calls kNothingRunning =
    Then(kInstalled, {Read("Config|ExeName"), "IsProgramRunning(prod.exe)"});
const Calls kSetupStarted =
    Then(kNotInstalled, {Read("Config|SetupPath"), "StartProgram(D:\\media|D:\\setup.exe|no merge)",
                         "WaitForProgram(started)"});
const Calls kFirstStarted = Then(
    kNotInstalled, {Read("AppRun|RunFirst"), "StartProgram(D:\\media|D:\\first.exe|no merge)"});
const Calls kShortcutResolved =
    Then(kNothingRunning, {Read("Config|ProductLink"), "FindProductShortcut(Prod\\Prod.lnk)",
                           "ResolveShortcut(C:\\Menu\\Prod.lnk)"});
const std::string kProductStart = "StartProgram(C:\\Prod|C:\\Prod\\prod.exe|merge)";
const std::string kToolsStart = "StartProgram(D:\\media|D:\\tools.exe|no merge)";
const std::string kLong(1020, 's');  // "D:\" and this make 1023 characters

struct FlowCase {
  const char* name;
  const char* tail;
  void (*setup)(Ops&);
  Calls expected;
};

const FlowCase kFlowCases[] = {
    {"guard held by another launcher",
     "",
     [](Ops& o) { o.guard = GuardResult::AlreadyExists; },
     {kGuard, "ShowMessage(The current programm is already running.|Autorun)"}},
    {"guard failed", "", [](Ops& o) { o.guard = GuardResult::Failed; }, {kGuard}},
    {"no current directory",
     "",
     [](Ops& o) { o.currentDirKnown = false; },
     {kGuard, "GetCurrentDir()"}},
    {"install.dat missing",
     "",
     [](Ops& o) { o.configFilePresent = false; },
     {kGuard, "GetCurrentDir()", "ProbeConfigFile(" + kConfig + ")",
      "ShowMessage(" + kConfig + "|WARNING)"}},
    {"setup, autorun", "", [](Ops&) {}, kSetupStarted},
    {"dash and capital A", "-A", [](Ops&) {}, kSetupStarted},
    {"setup, -a", "-a", [](Ops&) {}, kFirstStarted},
    {"/a in a word", "x/ay", [](Ops&) {}, kFirstStarted},
    {"-a in a folder name", "Files\\my-app\\run.exe", [](Ops&) {}, kFirstStarted},
    {"missing keys read empty; the root alone fails to start", "",
     [](Ops& o) {
       o.values.erase("Config/UnInstKey");
       o.values.erase("Config/SetupPath");
       o.startResult = nullptr;
     },
     Then(kOpened, {"IsProductInstalled()", Read("Config|SetupPath"),
                    "StartProgram(D:\\media|D:\\|no merge)"})},
    {"program path of 1023 characters", "", [](Ops& o) { o.values["Config/SetupPath"] = kLong; },
     Then(kNotInstalled,
          {Read("Config|SetupPath"), "StartProgram(D:\\media|D:\\" + kLong + "|no merge)",
           "WaitForProgram(started)"})},
    {"program path of 1024 characters", "",
     [](Ops& o) { o.values["Config/SetupPath"] = kLong + "s"; },
     Then(kNotInstalled, {Read("Config|SetupPath")})},
    {"drive root",
     "",
     [](Ops& o) { o.currentDir = "D:\\"; },
     {kGuard, "GetCurrentDir()", "ProbeConfigFile(D:\\\\install.dat)",
      Read("Config|UnInstKey", "D:\\\\install.dat"), "IsProductInstalled(Prod)",
      Read("Config|SetupPath", "D:\\\\install.dat"), "StartProgram(D:\\|D:\\setup.exe|no merge)",
      "WaitForProgram(started)"}},
    {"double-byte directory ending in 0x5C",
     "",
     [](Ops& o) {
       o.currentDir = "D:\\\x83\x5C";
       o.leadByte = ShiftJisLead;
     },
     {kGuard, "GetCurrentDir()", "ProbeConfigFile(D:\\\x83\x5C\\install.dat)",
      Read("Config|UnInstKey", "D:\\\x83\x5C\\install.dat"), "IsProductInstalled(Prod)",
      Read("Config|SetupPath", "D:\\\x83\x5C\\install.dat"),
      "StartProgram(D:\\\x83\x5C|D:\\setup.exe|no merge)", "WaitForProgram(started)"}},
    {"setup window present", "", [](Ops& o) { o.installed = o.windowPresent = true; },
     Then(kInstalled, {"ShowMessage(The setup is already running.|WARNING)"})},
    {"product running", "", [](Ops& o) { o.installed = o.programRunning = true; },
     Then(kNothingRunning, {"ShowMessage(The programm is already running.|WARNING)"})},
    {"installed, autorun", "", [](Ops& o) { o.installed = true; },
     Then(kShortcutResolved, {kProductStart, "WaitForProgram(started)"})},
    {"product fails to start", "", [](Ops& o) { Installed(o).startResult = nullptr; },
     Then(kShortcutResolved, {kProductStart})},
    {"shortcut not resolved", "", [](Ops& o) { Installed(o).resolves = false; }, kShortcutResolved},
    {"blank working directory: the target's folder", "",
     [](Ops& o) { Installed(o).targetDir = ""; },
     Then(kShortcutResolved, {kProductStart, "WaitForProgram(started)"})},
    {"blank working directory, target in a drive's root", "",
     [](Ops& o) {
       Installed(o).targetDir = "";
       o.targetPath = "C:\\prod.exe";
     },
     Then(kShortcutResolved, {"StartProgram(C:\\|C:\\prod.exe|merge)", "WaitForProgram(started)"})},
    {"no shortcut", "", [](Ops& o) { Installed(o).shortcutFound = false; },
     Then(kNothingRunning, {Read("Config|ProductLink"), "FindProductShortcut(Prod\\Prod.lnk)",
                            "ShowMessage(Application link isn't found.|Autorun)"})},
    {"installed, -a", "-a", [](Ops& o) { o.installed = true; },
     Then(kNothingRunning, {Read("AppRun|Installed"), kToolsStart})},
    {"no setup title", "-a",
     [](Ops& o) {
       o.installed = o.windowPresent = true;
       o.values.erase("Config/SetupTitle");
     },
     Then(kOpened, {"IsProductInstalled(Prod)", Read("Config|SetupTitle"), Read("Config|ExeName"),
                    "IsProgramRunning(prod.exe)", Read("AppRun|Installed"), kToolsStart})},
    {"no product name", "-a",
     [](Ops& o) {
       o.installed = o.programRunning = true;
       o.values["Config/ExeName"] = "";
     },
     Then(kInstalled, {Read("Config|ExeName"), Read("AppRun|Installed"), kToolsStart})},
};

TEST(RunLauncherTest, MakesExactlyTheExpectedCalls) {
  for (const FlowCase& c : kFlowCases) {
    SCOPED_TRACE(c.name);
    Ops ops;
    c.setup(ops);
    EXPECT_EQ(0, RunLauncher(c.tail, ops));
    EXPECT_EQ(c.expected, ops.calls);
  }
}

}  // namespace
