// autorun.inf as the desktop's automatic start reads it: the launcher it
// names in [autorun] open=, which must be on the medium.
#include "check/judge/autorun_inf.h"

#include "check/read/ini_reader.h"

namespace {

constexpr char kAutorunInf[] = "autorun.inf";

const IniEntry* OpenEntry(const IniDocument& document) {
  const IniSection* section = FindIniSection(document, "autorun");
  return section == nullptr ? nullptr : FindIniEntry(*section, "open");
}

// The program open= starts: its first word, or the quoted path.
std::string OpenProgram(const IniEntry* open) {
  std::string program = open == nullptr ? "" : ReturnedValue(open->value);
  if (!program.empty() && program[0] == '"') return program.substr(1, program.find('"', 1) - 1);
  return program.substr(0, program.find(' '));
}

}  // namespace

std::optional<std::string> LauncherOnMedium(const MediumTree& medium) {
  const std::optional<std::string> path = FindInTree(medium, kAutorunInf);
  std::string bytes;
  bool cut = false;
  if (!path || !medium.ReadStart(*path, kInstallDatLimit, bytes, cut)) return std::nullopt;
  const std::string program = OpenProgram(OpenEntry(ParseIni(bytes)));
  return program.empty() ? std::nullopt : FindInTree(medium, program);
}

void JudgeAutorunInf(MediumFindings& findings) {
  const std::optional<std::string> path = FindInTree(findings.Medium(), kAutorunInf);
  std::string bytes;
  bool cut = false;
  const char* const notStarted =
      "the desktop's automatic start of the medium does not start the launcher";
  if (!path) {
    findings.AddMissing(Severity::Warning, "no-autorun-inf", kAutorunInf, "", "", kAutorunInf,
                        findings.MissingAtRoot(kAutorunInf), notStarted,
                        "add autorun.inf with [autorun] and open=autorun.exe");
    return;
  }
  if (!findings.Medium().ReadStart(*path, kInstallDatLimit, bytes, cut)) {
    findings.Add(Severity::Warning, "unreadable", kAutorunInf, "", "", "autorun.inf cannot be read",
                 notStarted, "make it a readable file");
    return;
  }
  const IniDocument document = ParseIni(bytes);
  const IniEntry* open = OpenEntry(document);
  const std::string program = OpenProgram(open);
  const std::size_t slash = program.find_last_of("\\/");
  if (!SameName(slash == std::string::npos ? program : program.substr(slash + 1), "autorun.exe")) {
    findings.Add(Severity::Warning, "autorun-inf-open", kAutorunInf, "autorun", "open",
                 open == nullptr ? "there is no open= in [autorun]"
                                 : "open= names \"" + program + "\", not autorun.exe",
                 notStarted, "write open=autorun.exe in [autorun]");
    return;
  }
  if (!FindInTree(findings.Medium(), program)) {
    findings.AddMissing(
        Severity::Error, "no-launcher", kAutorunInf, "autorun", "open", program,
        "open= names \"" + program + "\", which is not on the medium",
        "the desktop's automatic start of the medium starts nothing, and there is no "
        "launcher to start by hand",
        "put autorun.exe in the medium's root, beside autorun.inf");
  }
}
