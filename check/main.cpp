// autorun-check: lints a medium folder or a disc image for the launcher, or
// shows what the launcher would do with a medium on a described machine.
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "check/flows/explain.h"
#include "check/flows/simulate.h"
#include "check/judge/image_check.h"
#include "check/judge/medium_check.h"
#include "check/print/findings_help.h"
#include "check/print/text_report.h"

namespace {

constexpr int kFine = 0;
constexpr int kFound = 1;
constexpr int kBadUsage = 2;

void PrintHelp() {
  std::printf(
      "Usage: autorun-check [--sign-later] MEDIUM_FOLDER\n"
      "       autorun-check [--sign-later] DISC_IMAGE\n"
      "       autorun-check --simulate MEDIUM_FOLDER [machine options]\n"
      "       autorun-check --explain [MEDIUM_FOLDER] [-- TAIL]   (on Windows)\n"
      "       autorun-check --version\n\n"
      "Checks the medium's install.dat (read exactly as the launcher reads it), the\n"
      "programs it names and autorun.inf, one line per finding: severity, file,\n"
      "section and key, what is wrong, what the launcher then does, and what to do.\n"
      "A disc image (an ISO file) is checked by the names Windows reads on it: its UDF\n"
      "names, else its Joliet names, else its 8.3 ISO 9660 names; the Windows build\n"
      "asks for the image to be mounted and its drive checked instead.\n"
      "Every program the launcher starts and every other .exe and .dll on the medium\n"
      "is judged as Windows will judge it: what it is, and its Authenticode signature\n"
      "(the host build reads it; whether a given Windows trusts the signer's root\n"
      "cannot be known here). --sign-later, for a pipeline that signs last, turns\n"
      "the signature findings into notes.\n"
      "Exit status: 0 nothing wrong (notes allowed), 1 something wrong, 2 bad usage.\n\n"
      "With --simulate, runs the launcher's own decision flow on the medium and a\n"
      "described machine and prints every step, each box it shows, the program it\n"
      "starts (working directory, class path merged or not, the resulting CLASSPATH)\n"
      "and whether it waits. Exit status 0.\n\n"
      "With --explain, on Windows, runs the launcher's decision flow over this\n"
      "machine's own answers, from MEDIUM_FOLDER (default: the current directory),\n"
      "with TAIL as the launcher's command line after its name (-- -a: direct-run\n"
      "mode). Every step is printed with what the launcher's probes found: the\n"
      "registry views asked, the process that matched, the shortcut's reading and\n"
      "corrections, the stored CLASSPATH. No box is shown (each is printed), no\n"
      "guard is created, nothing is started or written. Output is UTF-8. Exit\n"
      "status 0 when the launcher would start a program, 1 when it would not.\n\n%s\n%s",
      FindingsHelp(), MachineOptionsHelp());
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "autorun-check: %s\nTry autorun-check --help.\n", problem.c_str());
  return kBadUsage;
}

}  // namespace

int main(int argc, char** argv) {
  CheckOptions options;
  if (argc > 1 && std::string(argv[1]) == "--sign-later") {
    options.signatureFindingsAsNotes = true;
    --argc;
    ++argv;
  }
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "--help" || first == "-h") {
    PrintHelp();
    return kFine;
  }
  if (first == "--version") {
    std::printf("autorun-check %s\n", AUTORUN_VERSION);
    return kFine;
  }
  if (first == "--explain") return Explain(argc - 2, argv + 2);
  if (first == "--simulate") {
    if (argc < 3 || argv[2][0] == '-') return Usage("--simulate needs a medium folder first");
    MachineDescription machine;
    std::string error;
    if (!ParseMachineOptions(argc, argv, 3, machine, error)) return Usage(error);
    std::fputs(Simulate(FolderTree(argv[2]), machine).c_str(), stdout);
    return kFine;
  }
  if (argc != 2 || first.empty() || first[0] == '-') {
    return Usage("give one medium folder or disc image");
  }

  std::error_code error;
  std::vector<Finding> findings;
  if (std::filesystem::is_regular_file(first, error)) {
    ImageCheck image = CheckImage(first, options);
    if (!image.refusal.empty()) {
      std::fprintf(stderr, "autorun-check: %s\n", image.refusal.c_str());
      return kBadUsage;
    }
    findings = std::move(image.findings);
  } else {
    findings = CheckMedium(first, options);
  }
  for (const Finding& finding : findings) std::printf("%s\n", FormatFinding(finding).c_str());
  const int status = FindingsStatus(findings) == 0 ? kFine : kFound;
  if (status == kFine) std::printf("%s: nothing wrong found\n", first.c_str());
  return status;
}
