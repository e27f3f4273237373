// Each question of the decision flow, answered by the launcher's own probe
// and printed with the facts the probe handed back.
#include "check/flows/explaining_operations.h"

#include <windows.h>

#include <msi.h>

#include <cstdio>

#include "check/flows/start_trust.h"
#include "check/flows/trace.h"
#include "probes/installation_probe.h"
#include "probes/running_program_probe.h"
#include "probes/wow64_process.h"
#include "start/program_start.h"

namespace {

// What a result of the link object's is set to before the resolution, to
// see whether it was asked for: no call returns it.
constexpr long kNotAsked = 0x7FFFFFFF;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void Step(const std::string& asked, const std::string& answer) { TraceStep(asked, answer); }
// A fact the probe found, under its step.
void Fact(const std::string& fact) { TraceFact(fact); }

std::string Hex(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

const char* Describe(UninstallEntry entry) {
  switch (entry) {
    case UninstallEntry::NotAsked:
      return "not asked";
    case UninstallEntry::Missing:
      return "no such entry";
    case UninstallEntry::WithoutCommand:
      return "the entry, without UninstallString";
    case UninstallEntry::WithCommand:
      return "the entry, with UninstallString";
  }
  return "?";
}

// The registry view the launcher reads first, as this build and system have it.
const char* OwnViewName() {
  if (sizeof(void*) == 8) return "the 64-bit view (this build's own; the launcher is 32-bit)";
  return RunsUnderWow64() ? "the 32-bit view (WOW6432Node), the launcher's own"
                          : "the only view (32-bit Windows)";
}

const char* RegistryTypeName(unsigned long type) {
  switch (type) {
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    default:
      return "another type";
  }
}

const char* InstallStateName(int state) {
  switch (state) {
    case INSTALLSTATE_LOCAL:
      return "installed locally";
    case INSTALLSTATE_SOURCE:
      return "run from its source";
    case INSTALLSTATE_ABSENT:
      return "absent";
    case INSTALLSTATE_ADVERTISED:
      return "advertised only";
    case INSTALLSTATE_BROKEN:
      return "broken";
    case INSTALLSTATE_UNKNOWN:
      return "unknown to the installer";
    default:
      return "not usable";
  }
}

bool Exists(const wchar_t* path, bool isDirectory) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == isDirectory;
}

// This process's CLASSPATH, which a started program inherits: the line's
// value part.
std::string OwnClassPath() {
  static EnvironmentText value;
  SetLastError(0);
  const DWORD length = GetEnvironmentVariableW(L"CLASSPATH", value.Area(), value.kAreaSize);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return "CLASSPATH unset";
  if (length > value.kCapacity) return "CLASSPATH too long to read";
  if (length == 0) value.Clear();
  return "CLASSPATH=" + Quoted(Utf8(value.c_str()));
}

}  // namespace

GuardResult ExplainingOperations::AcquireInstanceGuard(const char* name) {
  // Only opened, never created: one that the explanation made would keep the
  // next launcher out. The launcher's CreateSemaphoreA asks an existing
  // semaphore for all access (CreateSemaphore, lpName), so the explanation
  // asks for the same and meets the guard as the launcher will.
  const HANDLE held = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, name);
  const DWORD error = GetLastError();
  const std::string asked =
      "is another launcher running? its guard " + Quoted(name) + " [AcquireInstanceGuard]";
  if (held != nullptr) {
    CloseHandle(held);
    Step(asked, "yes: a launcher runs and holds the guard");
    Decide(
        "another launcher is still running: it holds the guard while the setup or the "
        "product it started runs",
        "wait until that program ends, or use the one already open");
    return GuardResult::AlreadyExists;
  }
  if (error == ERROR_FILE_NOT_FOUND) {
    Step(asked, "no: the launcher would take the guard (only looked at here, not taken)");
    Fact("[OpenSemaphoreA, all access: error 2, no object of that name]");
    return GuardResult::Created;
  }
  const std::string why = error == ERROR_ACCESS_DENIED
                              ? "it lets this user only wait on it, as an elevated "
                                "launcher's does"
                          : error == ERROR_INVALID_HANDLE ? "another kind of object holds the name"
                                                          : "the system refuses it";
  Step(asked, "the launcher cannot take its guard, and ends silently");
  Fact(why + " [OpenSemaphoreA, all access: error " + std::to_string(error) + "]");
  Decide("another program holds the guard's name " + Quoted(name) + ": " + why,
         "end that program (a launcher started as administrator, for one), or restart Windows");
  return GuardResult::Failed;
}

void ExplainingOperations::ShowMessage(const char* text, const char* caption) {
  ++boxes;
  lastBox = "\"" + Utf8FromAnsi(text) + "\"";
  TraceLine("box: caption " + Quoted(Utf8FromAnsi(caption)) + ", text " +
            Quoted(Utf8FromAnsi(text)));
}

bool ExplainingOperations::GetCurrentDir(PlatformPath& directory) {
  const bool read = windows_.GetCurrentDir(directory);
  Step("the folder it was started in [GetCurrentDir]",
       read ? Quoted(Utf8FromAnsi(directory.c_str()))
            : "cannot be had, or is longer than 259 characters: the launcher ends silently");
  if (!read) {
    Decide("the folder the launcher was started in has a path too long for it",
           "start autorun.exe from the medium's root (the drive itself, e.g. E:\\)");
  }
  return read;
}

bool ExplainingOperations::ProbeConfigFile(const char* configFilePath) {
  const bool present = windows_.ProbeConfigFile(configFilePath);
  Step("is install.dat there? " + Quoted(Utf8FromAnsi(configFilePath)) + " [ProbeConfigFile]",
       present ? "yes" : "no: it cannot be opened for reading");
  if (!present) {
    Decide(
        "install.dat cannot be opened in the folder the launcher was started in: it was not "
        "started from the medium's root, or the medium lacks install.dat",
        "start autorun.exe from the medium's root; on this machine, explain the medium's drive "
        "(autorun-check --explain E:\\)");
  }
  return present;
}

void ExplainingOperations::ReadConfigValue(const char* section, const char* key,
                                           const char* configFilePath, ValueText& value) {
  windows_.ReadConfigValue(section, key, configFilePath, value);
  Step(std::string("install.dat's [") + section + "] " + key + " [ReadConfigValue]",
       Quoted(Utf8FromAnsi(value.c_str())));
  if (std::string(section) == "AppRun") directRun_ = true;
}

bool ExplainingOperations::IsProductInstalled(const char* unInstKey) {
  InstallationFacts facts{};
  const bool installed = ::IsProductInstalled(unInstKey, facts);
  installed_ = installed;
  unInstKey_ = Utf8FromAnsi(unInstKey);
  Step("is the product installed? its uninstall entry " + Quoted(unInstKey_) +
           " [IsProductInstalled]",
       installed ? "yes" : "no");
  Fact("entry: HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
       Utf8FromAnsi(unInstKey));
  if (facts.ownView == UninstallEntry::NotAsked) {
    Fact("not asked: the entry's name does not fit the 1,023 characters of its path");
    return installed;
  }
  Fact(std::string(OwnViewName()) + ": " + Describe(facts.ownView));
  Fact(std::string("the 64-bit view: ") + Describe(facts.view64));
  return installed;
}

bool ExplainingOperations::IsWindowTitlePresent(const char* setupTitle) {
  const bool present = windows_.IsWindowTitlePresent(setupTitle);
  Step("is the setup's window open? a window titled " + Quoted(Utf8FromAnsi(setupTitle)) +
           " [IsWindowTitlePresent]",
       present ? "yes: a top-level window carries the title" : "no");
  if (present) {
    Decide("a window titled " + Quoted(Utf8FromAnsi(setupTitle)) + " is open: the setup runs",
           "finish or close the setup, then start the launcher again");
  }
  return present;
}

bool ExplainingOperations::IsProgramRunning(const char* exeName) {
  RunningProgramFacts facts{};
  const int boxesBefore = boxes;
  const bool running = ::IsProgramRunning(exeName, facts, this);
  Step("is the product running? a program whose path holds " + Quoted(Utf8FromAnsi(exeName)) +
           " [IsProgramRunning]",
       running ? "yes" : "no");
  if (boxes != boxesBefore) {
    Fact("process-status library: lacks one of its functions (the box above); no process listed");
  } else if (facts.processesListed == 0) {
    Fact("process-status library: not loaded; no process listed");
  } else {
    Fact("process-status library: loaded; " + std::to_string(facts.processesListed) +
         " processes listed");
  }
  if (running) {
    Fact("matched: process " + std::to_string(facts.processId) + ", " +
         Quoted(Utf8FromAnsi(facts.fileName.c_str())));
    Decide("the product already runs: " + Quoted(Utf8FromAnsi(facts.fileName.c_str())),
           "use the product that is open, or close it and start the launcher again");
  }
  return running;
}

bool ExplainingOperations::FindProductShortcut(const char* productLink, ValueText& shortcutPath) {
  PlatformPath programsFolder;
  const bool found = ::FindProductShortcut(productLink, shortcutPath, programsFolder);
  Step("is the product's shortcut " + Quoted(Utf8FromAnsi(productLink)) +
           " in the all-users Programs folder? [FindProductShortcut]",
       found ? "yes: " + Quoted(Utf8FromAnsi(shortcutPath.c_str())) : "no");
  Fact("all-users Programs folder: " + (programsFolder.empty()
                                            ? std::string("none (the shell gave none)")
                                            : Quoted(Utf8FromAnsi(programsFolder.c_str()))));
  if (!found && !shortcutPath.empty()) {
    Fact("no such file: " + Quoted(Utf8FromAnsi(shortcutPath.c_str())));
  }
  if (!found) {
    Decide("the product is installed, but its shortcut " + Quoted(Utf8FromAnsi(productLink)) +
               " is not in the all-users Programs folder",
           "reinstall the product for all users; if it installs its shortcut elsewhere, the "
           "publisher corrects ProductLink in install.dat");
  }
  return found;
}

bool ExplainingOperations::ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                                           PlatformPath& workingDirectory) {
  ShortcutFacts facts{};
  facts.resolution = kNotAsked;
  facts.workingDirectoryStatus = kNotAsked;
  const bool resolved = windows_.ResolveShortcut(shortcutPath, targetPath, workingDirectory, facts);
  const std::string target = Utf8(windows_.ShortcutTarget().c_str());
  const std::string directory = Utf8(windows_.ShortcutDirectory().c_str());
  Step("what does the shortcut point at? " + Quoted(Utf8FromAnsi(shortcutPath)) +
           " [ResolveShortcut]",
       resolved ? "the program " + Quoted(target) + ", started in " + Quoted(directory)
                : "it cannot be resolved: the launcher ends silently");
  if (!resolved) {
    Decide("the product's shortcut " + Quoted(Utf8FromAnsi(shortcutPath)) +
               " cannot be resolved: the program it names is missing or it is no shortcut",
           "repair or reinstall the product");
  }
  const bool underWow64 = RunsUnderWow64();
  if (facts.readUntranslated) {
    Fact(
        "read from its own bytes, the shell's folder and environment translations off "
        "(a 32-bit launcher on 64-bit Windows)");
  } else {
    Fact(underWow64 ? "read as the shell reads it (its own bytes named no target, or could not "
                      "be read as a link)"
                    : "read as the shell reads it");
  }
  if (!facts.advertised) {
    Fact("advertised: no");
  } else if (facts.installer.product[0] == 0) {
    Fact("advertised: yes, but the installer gave no answer for it: read as a plain link");
  } else {
    Fact("advertised: yes; the installer names product " + Utf8(facts.installer.product) +
         ", component " + Utf8(facts.installer.component) + ", state " +
         std::to_string(facts.installer.state) + " (" + InstallStateName(facts.installer.state) +
         ")");
  }
  if (!facts.x86Target.empty()) {
    Fact("the \"(x86)\" correction: " + Quoted(Utf8(facts.x86Target.c_str())) +
         " names nothing; the native file is taken as it is, unresolved");
  }
  if (facts.resolution != kNotAsked) {
    Fact((facts.resolution < 0 ? "the shell's resolution failed: the target names nothing it "
                                 "can find"
                               : "the shell's resolution succeeded") +
         std::string(" [Resolve: ") + Hex(facts.resolution) + "]");
  }
  if (facts.workingDirectoryStatus != kNotAsked) {
    Fact((facts.workingDirectoryStatus == S_OK
              ? std::string("its \"Start in\" was read")
              : std::string("its \"Start in\" could not be read: the launcher ends silently")) +
         " [GetWorkingDirectory: " + Hex(facts.workingDirectoryStatus) + "]");
  }
  if (!facts.x86Directory.empty()) {
    Fact("the \"(x86)\" correction of the working directory: " +
         Quoted(Utf8(facts.x86Directory.c_str())) + " names nothing; the native folder is taken");
  }
  if (!resolved && facts.resolution == kNotAsked && !facts.advertised && facts.x86Target.empty()) {
    Fact("the file could not be read as a shortcut");
  }
  if (resolved && windows_.ShortcutDirectory().empty()) {
    Fact("\"Start in\" is blank: the product starts in its target's folder");
  }
  return resolved;
}

ProcessHandle ExplainingOperations::StartProgram(const char* workingDirectory,
                                                 const char* programPath, bool mergeClassPath) {
  WideValueText wideDirectory;
  WideValueText wideProgram;
  const bool widened =
      windows_.WidePaths(workingDirectory, programPath, mergeClassPath, wideDirectory, wideProgram);
  const std::string program = Utf8(wideProgram.c_str());
  const std::string directory = Utf8(wideDirectory.c_str());
  const std::string merge = mergeClassPath ? "class path merged" : "class path not merged";
  const bool startable =
      widened && Exists(wideProgram.c_str(), false) && Exists(wideDirectory.c_str(), true);
  const std::string asked = "the start of " + Quoted(program) + " in " + Quoted(directory) + ", " +
                            merge + " [StartProgram]";
  if (!startable) {
    Step(asked, "fails: no such program or folder; nothing starts, silently");
    Decide("the program to start, " + Quoted(program) + ", or its folder " + Quoted(directory) +
               ", does not exist",
           installed_ && !directRun_
               ? "repair or reinstall the product"
               : "start autorun.exe from the medium's root; if it was, the medium lacks the "
                 "program install.dat names: the publisher corrects it");
    return nullptr;
  }
  // What Windows makes of the start before it happens: a start it blocks or
  // refuses fails, and the launcher ends silently.
  const StartTrust trust = JudgeStart(wideProgram.c_str());
  Step(asked, StartAnswer(trust.prediction));
  PrintStartTrust(trust);
  judged = trust.prediction;
  if (judged.outcome == StartOutcome::Blocked || judged.outcome == StartOutcome::Fails) {
    refused = RefusedStart(judged, program);
    Decide(refused,
           judged.outcome == StartOutcome::Blocked
               ? "the publisher signs the program with a certificate Windows trusts; until "
                 "then it starts only where Smart App Control is off"
               : "the publisher names a Windows program that this Windows can run");
    return nullptr;
  }
  TraceLine("start: program " + Quoted(program) + ", working directory " + Quoted(directory) +
            ", " + merge);
  started = program;
  startedIn = directory;
  DecideStart();
  if (!mergeClassPath) {
    TraceLine("classpath: " + OwnClassPath() + " (this process's, not merged)");
    return &startedMark_;
  }
  static ClassPathFacts facts{};
  static EnvironmentText joined;
  const bool changed = MergedClassPath(joined, facts);
  if (facts.storedRead) {
    Fact(std::string("stored CLASSPATH (HKCU\\Environment): ") +
         RegistryTypeName(facts.storedType) + ", " + std::to_string(facts.storedSize) +
         " bytes: " + Quoted(Utf8(facts.stored.c_str())));
  } else {
    Fact("stored CLASSPATH (HKCU\\Environment): none, or too long for a variable");
  }
  Fact("this process's: " + OwnClassPath());
  if (changed) {
    TraceLine("classpath: CLASSPATH=" + Quoted(Utf8(joined.c_str())));
  } else {
    TraceLine("classpath: " + OwnClassPath() + " unchanged (" +
              (facts.storedRead ? "it holds the stored class path already, or the joined one "
                                  "would not fit"
                                : "nothing stored for the user") +
              ")");
  }
  return &startedMark_;
}

void ExplainingOperations::WaitForProgram(ProcessHandle) {
  waits = true;
  TraceLine("wait: the launcher waits until the program ends");
}

LeadBytePredicate ExplainingOperations::LeadByteTest() { return windows_.LeadByteTest(); }

void ExplainingOperations::Decide(std::string why, std::string toDo) {
  reason = std::move(why);
  action = std::move(toDo);
}

void ExplainingOperations::DecideStart() {
  if (directRun_) {
    Decide(std::string("-a on the command line: the direct-run mode starts the medium's ") +
               (installed_ ? "Installed" : "RunFirst") + " program",
           "nothing");
  } else if (installed_) {
    Decide("the product is installed (its uninstall entry " + Quoted(unInstKey_) +
               " is there): the launcher starts it through its shortcut",
           "nothing");
  } else {
    Decide("the product is not installed (no uninstall entry " + Quoted(unInstKey_) +
               " with an UninstallString): the launcher starts its setup",
           "nothing");
  }
}
