// A machine made of answers: the launcher's operations, answered from a
// description and the medium folder, each printed as the flow asks it.
#include "check/flows/simulate.h"

#include <cstring>

#include "check/judge/medium_findings.h"
#include "check/read/ini_reader.h"
#include "launcher/messages.h"
#include "launcher/run_launcher.h"
#include "start/class_path_join.h"

namespace {

std::string Quoted(const char* text) { return "\"" + std::string(text) + "\""; }

class SimulatedMachine final : public LauncherOperations {
 public:
  SimulatedMachine(const MediumTree& medium, const MachineDescription& machine)
      : medium_(medium), machine_(machine) {}

  std::string output;

  GuardResult AcquireInstanceGuard(const char* name) override {
    Step("AcquireInstanceGuard " + Quoted(name),
         machine_.secondInstance ? "already exists (another launcher runs)" : "created");
    return machine_.secondInstance ? GuardResult::AlreadyExists : GuardResult::Created;
  }
  void ShowMessage(const char* text, const char* caption) override {
    output += "box: caption " + Quoted(caption) + ", text " + Quoted(text) + "\n";
  }
  bool GetCurrentDir(PlatformPath& directory) override {
    const bool fits = directory.Assign(machine_.currentDirectory.c_str());
    Step("GetCurrentDir", fits ? Quoted(directory.c_str()) : "fails (longer than 259)");
    return fits;
  }
  bool ProbeConfigFile(const char* configFilePath) override {
    std::string bytes;
    bool cut = false;
    const std::optional<std::string> file = FindInTree(medium_, kInstallDat);
    const bool present = file && medium_.ReadStart(*file, kInstallDatLimit, bytes, cut);
    if (present) document_ = ParseIni(bytes);
    Step("ProbeConfigFile " + Quoted(configFilePath), present ? "present" : "missing");
    return present;
  }
  void ReadConfigValue(const char* section, const char* key, const char*,
                       ValueText& value) override {
    value.Assign(ReadIniValue(document_, section, key).c_str());
    Step(std::string("ReadConfigValue [") + section + "] " + key, Quoted(value.c_str()));
  }
  // An empty key names the uninstall list itself, which has no
  // UninstallString: never installed, whatever the machine holds.
  bool IsProductInstalled(const char* unInstKey) override {
    return Answer("IsProductInstalled " + Quoted(unInstKey),
                  machine_.installed && unInstKey[0] != '\0');
  }
  bool IsWindowTitlePresent(const char* setupTitle) override {
    return Answer("IsWindowTitlePresent " + Quoted(setupTitle), machine_.setupWindow);
  }
  bool IsProgramRunning(const char* exeName) override {
    if (machine_.psapiMissingFunction) ShowMessage(kProcessStatusBrokenText, kFatalErrorCaption);
    return Answer("IsProgramRunning " + Quoted(exeName),
                  machine_.productRunning && !machine_.psapiMissingFunction);
  }
  bool FindProductShortcut(const char* productLink, ValueText& shortcutPath) override {
    const std::string path = std::string(kProgramsFolder) + productLink;
    const bool found =
        machine_.shortcutFound && productLink[0] == '\\' && shortcutPath.Assign(path.c_str());
    Step("FindProductShortcut " + Quoted(productLink),
         found ? "found " + Quoted(path.c_str()) : "not found");
    return found;
  }
  bool ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                       PlatformPath& workingDirectory) override {
    const bool resolved = machine_.shortcutResolves &&
                          targetPath.Assign(machine_.shortcutTarget.c_str()) &&
                          workingDirectory.Assign(machine_.shortcutDirectory.c_str());
    Step("ResolveShortcut " + Quoted(shortcutPath),
         resolved ? "target " + Quoted(targetPath.c_str()) + ", working directory " +
                        Quoted(workingDirectory.c_str())
                  : "fails");
    return resolved;
  }
  ProcessHandle StartProgram(const char* workingDirectory, const char* programPath,
                             bool mergeClassPath) override {
    const bool started = Startable(programPath);
    Step("StartProgram " + Quoted(programPath) + " in " + Quoted(workingDirectory) +
             (mergeClassPath ? ", class path merged" : ", class path not merged"),
         !started ? "fails (no such file on the medium)"
         : FromRoot() || IsTarget(programPath)
             ? "started"
             : "started (assumed: the drive's root lies outside the medium folder)");
    if (!started) return nullptr;
    output += std::string("start: program ") + Quoted(programPath) + ", working directory " +
              Quoted(workingDirectory) + ", class path " +
              (mergeClassPath ? "merged" : "not merged") + "\n";
    if (mergeClassPath) output += "classpath: " + MergedClassPath() + "\n";
    return &started_;
  }
  void WaitForProgram(ProcessHandle) override {
    output += "wait: the launcher waits until the program ends\n";
  }
  LeadBytePredicate LeadByteTest() override { return nullptr; }

 private:
  static constexpr char kProgramsFolder[] =
      "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";

  void Step(const std::string& asked, const std::string& answer) {
    output += "step: " + asked + " -> " + answer + "\n";
  }
  bool Answer(const std::string& asked, bool yes) {
    Step(asked, yes ? "yes" : "no");
    return yes;
  }
  // Programs of the medium exist when the file is there; the path is taken
  // relative to the drive's root, which is the medium folder only when the
  // launcher runs from the root.
  bool Startable(const char* programPath) const {
    if (IsTarget(programPath)) return true;
    const std::string path = programPath;
    const std::size_t root = path.find('\\');
    if (root == std::string::npos ||
        path.compare(0, root + 1, machine_.currentDirectory.substr(0, root + 1)) != 0) {
      return false;
    }
    return !FromRoot() || FindInTree(medium_, path.substr(root + 1)).has_value();
  }
  bool IsTarget(const char* programPath) const {
    return std::strcmp(programPath, machine_.shortcutTarget.c_str()) == 0;
  }
  bool FromRoot() const {
    const std::string& directory = machine_.currentDirectory;
    return directory.find('\\') + 1 == directory.size();
  }
  std::string MergedClassPath() const {
    const std::string current = machine_.classPath.value_or("");
    AnsiEnvironmentText joined;
    if (machine_.storedClassPath &&
        JoinClassPath(current.c_str(), machine_.storedClassPath->c_str(), joined)) {
      return "CLASSPATH=" + Quoted(joined.c_str());
    }
    const char* why = machine_.storedClassPath ? " (already holds the stored class path)"
                                               : " (nothing stored for the user)";
    return (machine_.classPath ? "CLASSPATH=" + Quoted(current.c_str()) : "CLASSPATH unset") +
           " unchanged" + why;
  }

  const MediumTree& medium_;
  const MachineDescription& machine_;
  IniDocument document_;
  int started_ = 0;
};

}  // namespace

std::string Simulate(const MediumTree& medium, const MachineDescription& machine) {
  SimulatedMachine simulated(medium, machine);
  RunLauncher(machine.tail.c_str(), simulated);
  if (simulated.output.find("\nstart: ") == std::string::npos &&
      simulated.output.find("\nbox: ") == std::string::npos) {
    simulated.output += "end: the launcher ends silently\n";
  }
  return simulated.output;
}

bool SimulationStarts(const std::string& steps) {
  return steps.rfind("start: ", 0) == 0 || steps.find("\nstart: ") != std::string::npos;
}

bool ParseMachineOptions(int argc, const char* const* argv, int first, MachineDescription& machine,
                         std::string& error) {
  for (int i = first; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    const auto value = [&]() -> std::string { return argv[++i]; };
    if (option == "--installed") {
      machine.installed = true;
    } else if (option == "--setup-window") {
      machine.setupWindow = true;
    } else if (option == "--product-running") {
      machine.productRunning = true;
    } else if (option == "--no-shortcut") {
      machine.shortcutFound = false;
    } else if (option == "--broken-shortcut") {
      machine.shortcutResolves = false;
    } else if (option == "--second-instance") {
      machine.secondInstance = true;
    } else if (option == "--psapi-missing-function") {
      machine.psapiMissingFunction = true;
    } else if (!hasValue) {
      error = option.rfind("--", 0) == 0 ? "unknown option or missing value: " + option
                                         : "unexpected argument: " + option;
      return false;
    } else if (option == "--shortcut") {
      const std::string text = value();
      const std::size_t comma = text.find(',');
      machine.shortcutFound = true;
      machine.shortcutTarget = text.substr(0, comma);
      machine.shortcutDirectory = comma == std::string::npos ? "" : text.substr(comma + 1);
    } else if (option == "--stored-classpath") {
      machine.storedClassPath = value();
    } else if (option == "--classpath") {
      machine.classPath = value();
    } else if (option == "--tail") {
      machine.tail = value();
    } else if (option == "--medium-root" || option == "--medium-folder") {
      machine.currentDirectory = value();
    } else {
      error = "unknown option: " + option;
      return false;
    }
  }
  return true;
}

const char* MachineOptionsHelp() {
  return R"(Machine options for --simulate (default: nothing installed, nothing running,
the shortcut present, no CLASSPATH anywhere, no switch, the medium at D:\):
  --installed                the product's uninstall entry exists (the launcher
                             looks in the 32-bit registry view, then the 64-bit one)
  --setup-window             a window with the setup title is open
  --product-running          a program whose file name holds ExeName runs
  --no-shortcut              the shortcut named by ProductLink does not exist
  --broken-shortcut          it exists but cannot be resolved (also: an advertised
                             shortcut whose component the installer lacks)
  --shortcut TARGET,WORKDIR  it exists and points at TARGET, to start in WORKDIR;
                             without ",WORKDIR" its Start-in field is blank, and
                             the launcher starts TARGET in TARGET's own folder.
                             For a product installed by Windows Installer with an
                             advertised shortcut, TARGET is the installed program
                             the installer names: the launcher asks it, as the
                             shell does
  --stored-classpath TEXT    the user's stored CLASSPATH
  --classpath TEXT           the CLASSPATH the launcher itself was given
  --tail TEXT                the launcher's command line after its name, e.g. "-a"
  --medium-root PATH         the current directory as the launcher sees it, e.g. D:\
  --medium-folder PATH       the same, for a medium in a folder, e.g. D:\media\disc1
                             (programs are then looked for at the drive's root,
                             which the simulation cannot see: assumed present)
  --second-instance          another launcher already runs
  --psapi-missing-function   the process-status library lacks one of its functions
)";
}
