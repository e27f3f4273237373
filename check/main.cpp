// autorun-check: lints medium folders and disc images for the launcher, or
// shows what the launcher would do with a medium on a described machine (or,
// on Windows, on this one).
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "check/flows/explain.h"
#include "check/flows/simulate.h"
#include "check/judge/image_check.h"
#include "check/judge/medium_check.h"
#include "check/options.h"
#include "check/print/findings_help.h"
#include "check/print/json_report.h"
#include "check/print/sarif_report.h"
#include "check/print/text_report.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFine = 0;
constexpr int kFound = 1;
constexpr int kBadUsage = 2;

void PrintHelp() {
  std::printf(
      "Usage: autorun-check [options] MEDIUM...   (medium folders and disc images)\n"
      "       autorun-check --simulate MEDIUM_FOLDER [machine options]\n"
      "       autorun-check --explain [MEDIUM_FOLDER] [-- TAIL]   (on Windows)\n"
      "       autorun-check --version | --help\n\n"
      "Checks each medium's install.dat (read exactly as the launcher reads it), the\n"
      "programs it names and autorun.inf (as AutoPlay reads it), one line per finding:\n"
      "severity, file and line, section and key, what is wrong, what the launcher then\n"
      "does, and what to do; then a summary line a medium. A folder is checked before\n"
      "mastering, its names too. A disc image (an ISO file) is checked by the names\n"
      "Windows reads on it: its UDF names, else its Joliet names, else its 8.3 ISO 9660\n"
      "names; the Windows build asks for the image to be mounted and its drive checked.\n"
      "Every program the launcher starts and every other .exe and .dll on the medium\n"
      "is judged as Windows will judge it: what it is, and its Authenticode signature\n"
      "(whether a given Windows trusts the signer's root cannot be known here).\n"
      "Exit status: 0 nothing at or above --fail-on (notes never count), 1 something,\n"
      "2 bad usage (an unknown option, a medium that does not exist), in one line.\n\n"
      "%s\n"
      "With --simulate, runs the launcher's own decision flow on the medium and a\n"
      "described machine and prints every step, each box it shows, the program it\n"
      "starts (working directory, class path merged or not, the resulting CLASSPATH)\n"
      "and whether it waits. Exit status 0 when the launcher would start a program,\n"
      "1 when it would not, 2 for bad usage (a disc image: simulate its folder).\n\n"
      "With --explain, on Windows, runs the launcher's decision flow over this\n"
      "machine's own answers, from MEDIUM_FOLDER (default: the current directory),\n"
      "with TAIL as the launcher's command line after its name (-- -a: direct-run\n"
      "mode). Every step is printed with what the launcher's probes found: the\n"
      "registry views asked, the process that matched, the shortcut's reading and\n"
      "corrections, the stored CLASSPATH. No box is shown (each is printed), no\n"
      "guard is created, nothing is started or written. Output is UTF-8. Exit\n"
      "status 0 when the launcher would start a program, 1 when it would not.\n\n%s\n%s",
      CheckOptionsHelp().c_str(), FindingsHelp().c_str(), MachineOptionsHelp());
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "autorun-check: %s\n", problem.c_str());
  return kBadUsage;
}

int RunSimulate(const std::vector<const char*>& arguments) {
  if (arguments.empty() || arguments[0][0] == '-') {
    return Usage("--simulate needs a medium folder first");
  }
  std::error_code error;
  const fs::path folder = arguments[0];
  if (fs::is_regular_file(folder, error)) {
    return Usage(folder.string() + " is a disc image: --simulate runs on its medium folder");
  }
  if (!fs::is_directory(folder, error)) return Usage("no such medium folder: " + folder.string());
  MachineDescription machine;
  std::string problem;
  if (!ParseMachineOptions(static_cast<int>(arguments.size()), arguments.data(), 1, machine,
                           problem)) {
    return Usage(problem);
  }
  const std::string steps = Simulate(FolderTree(folder), machine);
  std::fputs(steps.c_str(), stdout);
  return SimulationStarts(steps) ? kFine : kFound;
}

int RunCheck(const CheckOptions& options) {
  Report report;
  for (const std::string& name : options.media) {
    std::error_code error;
    const fs::file_status status = fs::status(name, error);
    std::vector<Finding> findings;
    if (fs::is_regular_file(status)) {
      ImageCheck image = CheckImage(name, options.judge);
      if (!image.refusal.empty()) return Usage(image.refusal);
      findings = std::move(image.findings);
    } else if (fs::is_directory(status)) {
      findings = CheckMedium(fs::path(name), options.judge);
    } else {
      return Usage((fs::exists(status) ? "not a medium folder or disc image: "
                                       : "no such medium folder or disc image: ") +
                   name);
    }
    report.media.push_back({name, fs::is_regular_file(status)});
    for (Finding& finding : findings) {
      if (options.disabled.count(finding.code) != 0) continue;
      finding.medium = name;
      report.findings.push_back(std::move(finding));
    }
  }
  const std::string printed = options.format == ReportFormat::Json ? JsonReport(report)
                              : options.format == ReportFormat::Sarif
                                  ? SarifReport(report, AUTORUN_VERSION)
                                  : TextReport(report);
  std::fputs(printed.c_str(), stdout);
  return FindingsStatus(report.findings, options.failOn) == 0 ? kFine : kFound;
}

}  // namespace

int main(int argc, char** argv) {
  // Support's way on a user's machine: a double-click explains the medium.
  if (argc == 1 && StartedByDoubleClick()) return Explain(0, nullptr);
  CheckOptions options;
  std::string problem;
  if (!ParseCheckOptions(argc, argv, options, problem)) return Usage(problem);
  switch (options.command) {
    case Command::Help:
      PrintHelp();
      return kFine;
    case Command::Version:
      std::printf("autorun-check %s\n", AUTORUN_VERSION);
      return kFine;
    case Command::Explain:
      return Explain(static_cast<int>(options.rest.size()), options.rest.data());
    case Command::Simulate:
      return RunSimulate(options.rest);
    case Command::Check:
      break;
  }
  return RunCheck(options);
}
