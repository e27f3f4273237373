// autorun.inf as the desktop's automatic start reads it: the launcher it
// names in [autorun] open=, which must be on the medium.
#include "check/judge/autorun_inf.h"

#include "check/read/ini_reader.h"

namespace {

constexpr char kAutorunInf[] = "autorun.inf";

}  // namespace

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
  const IniSection* section = FindIniSection(document, "autorun");
  const IniEntry* open = section == nullptr ? nullptr : FindIniEntry(*section, "open");
  std::string program = open == nullptr ? "" : ReturnedValue(open->value);
  if (!program.empty() && program[0] == '"') {
    program = program.substr(1, program.find('"', 1) - 1);
  } else {
    program = program.substr(0, program.find(' '));
  }
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
