// The programs of a medium, each read once (a disc image's in one pass) and
// judged: what Windows does with the file, then its signature. Smart App
// Control, on by default on new Windows 11 installations, blocks a program
// that is unsigned or not validly signed however it is started; SmartScreen
// warns about one started from a downloaded image. The programs the launcher
// starts get one finding each; the medium's other programs one finding per
// kind of fault, naming them, so that a disc of a thousand unsigned
// libraries still reads in a screen.
#include "check/judge/programs.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>

#include "check/read/image_tree.h"
#include "check/read/program_reader.h"

namespace {

enum class Role { Launcher, Setup, RunFirst, Installed, Other };

struct Program {
  std::string path;  // in the tree, names joined with '/'
  Role role = Role::Other;
  std::string section, key;  // where the medium names it
};

// The other programs a grouped finding names before "and N more".
constexpr std::size_t kNamesShown = 5;

const char* const kSignAction =
    "sign it with your code-signing certificate and a time stamp (scripts/sign.sh "
    "--timestamp URL, or scripts/release.sh --sign), as the last step before mastering";

// Now, as certificates' validity is written: "YYYY-MM-DD hh:mm:ss" UTC.
std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::gmtime(&now));
  return text;
}

std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool EndsWith(const std::string& name, const char* end) {
  const std::string tail = end;
  return name.size() >= tail.size() && SameName(name.substr(name.size() - tail.size()), tail);
}

bool IsStarted(Role role) { return role != Role::Other; }
// Smart App Control's block of these leaves the launcher nothing to do.
bool IsFirstStart(Role role) { return role == Role::Launcher || role == Role::Setup; }

// What starting it is, for a consequence.
std::string StartOf(const Program& program) {
  switch (program.role) {
    case Role::Launcher:
      return "the medium's automatic start (and a double-click) of the launcher";
    case Role::Setup:
      return "the launcher's start of the setup on a machine without the product";
    case Role::RunFirst:
      return "the launcher's start of it with -a on a machine without the product";
    case Role::Installed:
      return "the launcher's start of it with -a on a machine with the product";
    case Role::Other:
      break;
  }
  return "a start of it";
}

// The role of a program the medium names: the launcher autorun.inf starts,
// or one install.dat gives the launcher to start.
std::optional<Role> RoleOf(const NamedPath& named) {
  const struct {
    const char* file;
    const char* key;
    Role role;
  } kRoles[] = {{"autorun.inf", "open", Role::Launcher},
                {"autorun.inf", "shellexecute", Role::Launcher},
                {"install.dat", "SetupPath", Role::Setup},
                {"install.dat", "RunFirst", Role::RunFirst},
                {"install.dat", "Installed", Role::Installed}};
  for (const auto& row : kRoles) {
    if (named.file == row.file && named.key == row.key) return row.role;
  }
  return std::nullopt;
}

// The programs the launcher starts, as install.dat and autorun.inf name
// them, then every other .exe and .dll.
std::vector<Program> ProgramsOf(const MediumTree& medium, const std::vector<NamedPath>& named) {
  std::vector<Program> programs;
  const auto add = [&](const std::optional<std::string>& path, Role role,
                       const std::string& section, const std::string& key) {
    if (!path) return;
    for (Program& known : programs) {
      if (known.path == *path) return;  // the first, strongest role counts
    }
    programs.push_back({*path, role, section, key});
  };
  for (const Role role : {Role::Launcher, Role::Setup, Role::RunFirst, Role::Installed}) {
    for (const NamedPath& path : named) {
      if (RoleOf(path) == role) add(FindInTree(medium, path.path), role, path.section, path.key);
    }
  }
  std::vector<std::string> others;
  WalkTree(
      medium,
      [](const std::string& name) { return EndsWith(name, ".exe") || EndsWith(name, ".dll"); },
      kMaxImageNames, kMaxImageDepth, others);
  for (const std::string& path : others) add(path, Role::Other, "", "");
  return programs;
}

// One fault of one program, before the other programs' are grouped.
struct Fault {
  Severity severity;
  std::string code;
  std::string problem;  // what is wrong with it
  std::string consequence;
  std::string action;
  bool signature = false;  // a finding about its signature
};

Severity Weigh(Role role) { return IsStarted(role) ? Severity::Error : Severity::Warning; }

// What CreateProcess and the loader make of the file.
std::optional<Fault> IdentityFault(const Program& program, const ProgramIdentity& identity) {
  const Severity severity = Weigh(program.role);
  const std::string fails =
      IsStarted(program.role)
          ? StartOf(program) + " fails (CreateProcess refuses it): nothing starts"
          : "Windows cannot start it";
  switch (identity.kind) {
    case ProgramKind::Unreadable:
      return Fault{severity, "program-unreadable", "the file cannot be read", fails,
                   "copy the program to the medium again"};
    case ProgramKind::NotAProgram:
      return Fault{severity, "not-a-program",
                   "it is not a Windows program (no MZ header: text, a script or other data)",
                   fails, "put the program itself there, or name the program that opens the file"};
    case ProgramKind::InstallerPackage:
      return Fault{severity, "installer-package",
                   "it is a Windows Installer package (a compound file), not a program", fails,
                   "name its setup program (the setup.exe that installs the package) instead; "
                   "Windows Installer itself starts a package, not CreateProcess"};
    case ProgramKind::Dos:
    case ProgramKind::Windows16:
    case ProgramKind::Linear:
      if (!identity.malformed.empty()) break;
      return Fault{severity, "16-bit-program",
                   identity.kind == ProgramKind::Dos
                       ? "it is an MS-DOS program (MZ without a PE header)"
                   : identity.kind == ProgramKind::Windows16
                       ? "it is a 16-bit Windows program (NE header)"
                       : "it is an old Windows driver or OS/2 program (LE or LX header)",
                   IsStarted(program.role)
                       ? StartOf(program) + " fails: 64-bit Windows runs no 16-bit program"
                       : "64-bit Windows cannot run it",
                   "replace it with a 32-bit or 64-bit Windows program"};
    case ProgramKind::Windows:
      break;
  }
  if (!identity.malformed.empty()) {
    return Fault{severity, "malformed-program", "its headers are broken: " + identity.malformed,
                 IsStarted(program.role) ? StartOf(program) + " fails: Windows refuses to load it"
                                         : "Windows refuses to load it",
                 "build or copy the program again"};
  }
  if (IsStarted(program.role) && identity.library) {
    return Fault{severity, "not-startable", "it is a library (DLL), not a program", fails,
                 "name the program (.exe) that uses it"};
  }
  if (IsStarted(program.role) && !IsDesktopSubsystem(identity.subsystem)) {
    return Fault{severity, "not-startable",
                 "its subsystem (" + std::to_string(identity.subsystem) +
                     ") is not a desktop program's (2 windows, 3 console)",
                 fails, "name a desktop program"};
  }
  if (identity.machine == kMachineI386) return std::nullopt;
  if (identity.machine == kMachineAmd64) {
    return Fault{Severity::Note, "x64-program", "it is a 64-bit (x64) program",
                 "32-bit Windows cannot run it; 64-bit Windows (x64 or ARM64) can",
                 "nothing, unless the product supports 32-bit Windows: then add a 32-bit build"};
  }
  if (identity.machine == kMachineArm64) {
    return Fault{Severity::Warning, "arm64-program", "it is an ARM64-only program",
                 "x64 and 32-bit Windows cannot run it; only Windows on ARM can",
                 "ship an x86 or x64 build beside it, or build it as ARM64X"};
  }
  char machine[8];
  std::snprintf(machine, sizeof machine, "0x%04X", identity.machine);
  return Fault{severity, "other-cpu",
               std::string("it is built for another CPU (machine ") + machine + ")",
               "neither x86, x64 nor ARM64 Windows of today runs it", "build it for x86 or x64"};
}

// Whether Windows will trust the signature, as far as the file tells.
std::vector<Fault> SignatureFaults(const Program& program, const SignatureFacts& signature) {
  const Severity severity = IsFirstStart(program.role) ? Severity::Error : Severity::Warning;
  const std::string blocked =
      IsStarted(program.role)
          ? "with Smart App Control on (Windows 11's default on new machines), Windows blocks " +
                StartOf(program) +
                (IsFirstStart(program.role)
                     ? ": nothing starts, the launcher ends silently and Windows shows its "
                       "own notice"
                     : "")
          : "with Smart App Control on, Windows blocks it when anything starts or loads it";
  const std::string smartScreen =
      "; SmartScreen warns about it on a medium made from a downloaded image";
  if (!signature.embedded) {
    return {{severity, "unsigned",
             "it carries no Authenticode signature" +
                 (signature.problem.empty() ? "" : " (" + signature.problem + ")"),
             blocked + smartScreen, kSignAction, true}};
  }
  if (!signature.intact || !signature.verified) {
    return {{severity, "signature-broken",
             !signature.intact && signature.problem.empty()
                 ? "its signature does not match its bytes: it was changed after signing"
                 : "its signature does not hold: " + signature.problem,
             "Windows counts it as unsigned: " + blocked + smartScreen,
             "sign it again after its last change, and change nothing after that", true}};
  }
  // Windows judges the certificate at the time stamp's time, else now.
  const bool stamped = signature.timeStamp != TimeStampKind::None && signature.timeStampVerified &&
                       !signature.timeStampTime.empty();
  const std::string at = stamped ? signature.timeStampTime : UtcNow();
  if (!signature.validTo.empty() && (at > signature.validTo || at < signature.validFrom)) {
    return {{severity, "signature-expired",
             stamped ? "its time stamp (" + at + " UTC) lies outside its certificate's validity (" +
                           signature.validFrom + " to " + signature.validTo + " UTC)"
                     : "its certificate expired on " + signature.validTo +
                           " UTC (or is not yet valid), and its signature has no time stamp",
             "Windows counts it as unsigned: " + blocked + smartScreen,
             "sign it again with a valid certificate and a time stamp", true}};
  }
  std::vector<Fault> faults;
  if (signature.timeStamp == TimeStampKind::None || !signature.timeStampVerified) {
    faults.push_back(
        {Severity::Warning, "no-time-stamp",
         signature.timeStamp == TimeStampKind::None ? "its signature has no time stamp"
                                                    : "its signature's time stamp does not hold",
         "the signature dies with its certificate" +
             (signature.validTo.empty() ? std::string()
                                        : " (valid to " + signature.validTo + " UTC)") +
             ", and code-signing certificates live at most 460 days: after that Windows "
             "treats it as unsigned",
         "sign it with a time stamp (scripts/sign.sh --timestamp URL)", true});
  }
  const bool sha1Only =
      signature.digestAlgorithm == "SHA-1" &&
      std::all_of(signature.nestedDigestAlgorithms.begin(), signature.nestedDigestAlgorithms.end(),
                  [](const std::string& name) { return name == "SHA-1" || name == "MD5"; });
  if (sha1Only || signature.digestAlgorithm == "MD5") {
    faults.push_back({Severity::Warning, "sha1-only",
                      "its only signature hashes it with " + signature.digestAlgorithm,
                      "Windows no longer trusts such a signature for new programs",
                      "sign it with SHA-256 (scripts/sign.sh does)", true});
  }
  return faults;
}

// The other programs' faults of one kind, in one finding.
struct Group {
  Fault fault;
  std::vector<std::string> names;
};

// A finding about several programs has the first as its file, so that a
// report locates it in one file, and names the others after its problem.
std::string Names(const std::vector<std::string>& names);
std::string AlsoNamed(const std::vector<std::string>& names) {
  if (names.size() < 2) return "";
  return " (also " + Names(std::vector<std::string>(names.begin() + 1, names.end())) + ")";
}

std::string Names(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) {
    text += (i == 0 ? "" : ", ") + names[i];
  }
  if (names.size() > kNamesShown) {
    text += " and " + std::to_string(names.size() - kNamesShown) + " more";
  }
  return text;
}

class ProgramsJudge {
 public:
  explicit ProgramsJudge(MediumFindings& findings) : findings_(findings) {}

  void Run() {
    const std::vector<Program> programs = ProgramsOf(findings_.Medium(), findings_.Named());
    std::vector<std::string> paths;
    for (const Program& program : programs) paths.push_back(program.path);
    std::map<std::string, ProgramFacts> facts;
    findings_.Medium().StreamFiles(paths, [&](const std::string& path, FileStream* stream) {
      facts[path] = ReadProgram(findings_.Medium(), path, stream);
    });
    for (const Program& program : programs) Judge(program, facts[program.path]);
    for (const auto& [code, group] : groups_) {
      Fault fault = group.fault;
      fault.problem += AlsoNamed(group.names);
      Add(fault.severity, "", "", group.names.front(), fault);
    }
    NameSigners();
  }

 private:
  void Judge(const Program& program, const ProgramFacts& facts) {
    std::vector<Fault> faults;
    if (std::optional<Fault> fault = IdentityFault(program, facts.identity)) {
      faults.push_back(std::move(*fault));
    }
    const bool judgeSignature = facts.signatureRead &&
                                facts.identity.kind == ProgramKind::Windows &&
                                facts.identity.malformed.empty();
    if (judgeSignature) {
      bool trusted = true;
      for (Fault& fault : SignatureFaults(program, facts.signature)) {
        trusted = trusted && fault.code != "unsigned" && fault.code != "signature-broken" &&
                  fault.code != "signature-expired";
        faults.push_back(std::move(fault));
      }
      const SignatureFacts& signature = facts.signature;
      if (trusted) {
        Signer& signer = signers_[{signature.signer, signature.issuer}];
        signer.validTo = signature.validTo;
        signer.names.push_back(WindowsPath(program.path));
      }
    }
    for (Fault& fault : faults) {
      if (IsStarted(program.role)) {
        Add(fault.severity, program.section, program.key, WindowsPath(program.path), fault);
        continue;
      }
      // Grouped by code and severity, as the file names the fault.
      Group& group = groups_[fault.code + "/" + std::to_string(static_cast<int>(fault.severity))];
      if (group.names.empty()) group.fault = fault;
      group.names.push_back(WindowsPath(program.path));
    }
  }

  void Add(Severity severity, const std::string& section, const std::string& key,
           const std::string& file, const Fault& fault) {
    if (fault.signature && findings_.Options().signatureFindingsAsNotes) severity = Severity::Note;
    findings_.Add(severity, fault.code, file, section, key, fault.problem, fault.consequence,
                  fault.action);
  }

  // Which roots a given Windows trusts is that Windows' own: a note per
  // signer, and one when the programs have several.
  void NameSigners() {
    for (const auto& [name, signer] : signers_) {
      findings_.Add(Severity::Note, "signer", signer.names.front(), "", "",
                    "signed by \"" + name.first + "\", issued by \"" + name.second + "\"" +
                        (signer.validTo.empty() ? "" : ", valid to " + signer.validTo + " UTC") +
                        AlsoNamed(signer.names),
                    "whether a given Windows trusts the root of that issuer is that Windows' "
                    "own: this check cannot know it (an untrusted root is blocked like an "
                    "unsigned program)",
                    "check the medium on Windows 11 with autorun-check --explain, or use a "
                    "certificate from a certification authority Windows trusts");
    }
    if (signers_.size() > 1) {
      std::string names;
      std::vector<std::string> programs;
      for (const auto& [name, signer] : signers_) {
        names += (names.empty() ? "\"" : ", \"") + name.first + "\"";
        programs.insert(programs.end(), signer.names.begin(), signer.names.end());
      }
      findings_.Add(Severity::Note, "several-signers", programs.front(), "", "",
                    "the programs have " + std::to_string(signers_.size()) + " signers: " + names +
                        AlsoNamed(programs),
                    "each signer's reputation counts on its own",
                    "sign every program with one certificate");
    }
  }

  struct Signer {
    std::string validTo;
    std::vector<std::string> names;
  };

  MediumFindings& findings_;
  std::map<std::string, Group> groups_;
  std::map<std::pair<std::string, std::string>, Signer> signers_;
};

}  // namespace

void JudgePrograms(MediumFindings& findings) { ProgramsJudge(findings).Run(); }
