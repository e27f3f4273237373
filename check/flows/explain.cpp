// autorun-check --explain on Windows: the launcher's decision flow, run once
// over its own probes from the medium, as the launcher would run there now.
// The verdict comes first: what the launcher would do, the one reason that
// decides it and what to do; the trace of every step follows.
#include "check/flows/explain.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "check/flows/console_window.h"
#include "check/flows/explaining_operations.h"
#include "check/flows/medium_drives.h"
#include "check/flows/trace.h"
#include "launcher/run_launcher.h"
#include "platform/library_search.h"

namespace {

constexpr int kWouldStart = 0;
constexpr int kWouldStartNothing = 1;
constexpr int kBadUsage = 2;

int Usage(const std::string& problem) {
  std::fprintf(stderr, "autorun-check --explain: %s\n", problem.c_str());
  return kBadUsage;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool HoldsInstallDat(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA((folder + "\\install.dat").c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// What the run comes to, in one line: the verdict's first and the trace's
// last.
std::string Outcome(const ExplainingOperations& operations) {
  if (!operations.started.empty()) {
    return "the launcher starts \"" + operations.started + "\" in \"" + operations.startedIn +
           "\"" + (operations.waits ? " and waits until it ends" : " and ends without waiting") +
           (operations.judged.outcome == StartOutcome::MayBeBlocked
                ? "; it may be blocked: Smart App Control is in evaluation"
                : "");
  }
  const std::string instead = operations.refused.empty() ? "" : ": " + operations.refused;
  if (operations.boxes > 0) {
    return "the launcher starts nothing; it shows " + std::to_string(operations.boxes) + " box" +
           (operations.boxes == 1 ? "" : "es") + " and ends" +
           (operations.boxes == 1 ? " (" + operations.lastBox + ")" : "") + instead;
  }
  return "the launcher starts nothing and ends silently" + instead;
}

// The launcher's flow from the current directory: the verdict, then the
// trace.
int ExplainHere(const std::string& tail) {
  ExplainingOperations operations;
  RunLauncher(tail.c_str(), operations);
  const std::string trace = TakeTrace();
  const std::string outcome = Outcome(operations);
  std::printf("verdict: %s\n", outcome.c_str());
  std::printf("because: %s\n", operations.reason.c_str());
  std::printf("to do: %s\n\n", operations.action.c_str());
  std::printf(
      "How the launcher comes to it, step by step, with what this machine answered (the "
      "launcher's own calls in brackets; command line tail \"%s\"; nothing was shown, started "
      "or written):\n%soutcome: %s\n",
      Utf8FromAnsi(tail.c_str()).c_str(), trace.c_str(), outcome.c_str());
  return operations.started.empty() ? kWouldStartNothing : kWouldStart;
}

int ExplainMedia(const std::string& folder, const std::string& tail) {
  // The launcher reads the medium from its current directory: so does this
  // process, its own state alone.
  if (!folder.empty() && (!IsFolder(folder) || !SetCurrentDirectoryA(folder.c_str()))) {
    return Usage("no such medium folder: " + folder);
  }
  // As the launcher does first: no library planted beside it is loaded.
  RestrictLibrarySearchToSystem();
  if (!folder.empty() || HoldsInstallDat(".")) return ExplainHere(tail);
  // Nobody said where the medium is, and it is not here: a medium is the
  // root of a drive.
  const std::vector<std::string> media = MediumDrives();
  if (media.empty()) {
    return Usage(
        "no medium here and no drive holding autorun.exe beside install.dat: give the medium's "
        "drive, e.g. autorun-check --explain E:\\");
  }
  int status = kWouldStart;
  for (const std::string& root : media) {
    std::printf("%smedium: %s\n", &root == &media.front() ? "" : "\n", root.c_str());
    if (!SetCurrentDirectoryA(root.c_str())) continue;
    if (ExplainHere(tail) != kWouldStart) status = kWouldStartNothing;
  }
  return status;
}

}  // namespace

int Explain(int count, const char* const* arguments) {
  std::string folder;
  std::string tail;
  for (int i = 0; i < count; ++i) {
    const std::string argument = arguments[i];
    if (argument == "--") {
      for (++i; i < count; ++i) tail += (tail.empty() ? "" : " ") + std::string(arguments[i]);
      break;
    }
    if (argument[0] == '-') return Usage("unknown option " + argument + " (see --help)");
    if (!folder.empty()) {
      return Usage("\"" + argument +
                   "\": give one medium folder; the launcher's command line goes after --");
    }
    folder = argument;
  }
  // A double-click gives the checker a console window of its own, which
  // would close with it before anyone read it.
  const bool ownWindow = InConsoleOfItsOwn();
  const int status = ExplainMedia(folder, tail);
  if (ownWindow) WaitForEnter();
  return status;
}

bool StartedByDoubleClick() { return InConsoleOfItsOwn(); }
