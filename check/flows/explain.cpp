// autorun-check --explain on Windows: the launcher's decision flow, run once
// over its own probes from the medium folder, as the launcher would run there
// now; the last line says what it comes to.
#include "check/flows/explain.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "check/flows/explaining_operations.h"
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
  // The launcher reads the medium from its current directory: so does this
  // process, its own state alone.
  const DWORD attributes =
      folder.empty() ? FILE_ATTRIBUTE_DIRECTORY : GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (!folder.empty() && !SetCurrentDirectoryA(folder.c_str()))) {
    return Usage("no such medium folder: " + folder);
  }
  // As the launcher does first: no library planted beside it is loaded.
  RestrictLibrarySearchToSystem();
  std::printf(
      "explain: the launcher's decision flow over this machine's answers, command line tail "
      "\"%s\"; nothing is shown, started or written\n",
      Utf8FromAnsi(tail.c_str()).c_str());
  ExplainingOperations operations;
  RunLauncher(tail.c_str(), operations);
  if (!operations.started.empty()) {
    std::printf("outcome: the launcher starts \"%s\" in \"%s\"%s%s\n", operations.started.c_str(),
                operations.startedIn.c_str(),
                operations.waits ? " and waits until it ends" : " and ends without waiting",
                operations.judged.outcome == StartOutcome::MayBeBlocked
                    ? "; it may be blocked: Smart App Control is in evaluation"
                    : "");
    return kWouldStart;
  }
  const std::string instead = operations.refused.empty() ? "" : ": " + operations.refused;
  if (operations.boxes > 0) {
    std::printf("outcome: the launcher starts nothing; it shows %d box%s and ends%s\n",
                operations.boxes, operations.boxes == 1 ? "" : "es", instead.c_str());
  } else {
    std::printf("outcome: the launcher starts nothing and ends silently%s\n", instead.c_str());
  }
  return kWouldStartNothing;
}
