// --explain off Windows: the facts it reports are the machine's own, so it can
// only run on the machine it explains.
#include <cstdio>

#include "check/flows/explain.h"

int Explain(int, const char* const*) {
  std::fputs(
      "autorun-check: --explain runs on Windows, on the machine it explains (autorun-check.exe);"
      " here, describe that machine to --simulate\n",
      stderr);
  return 2;
}

bool StartedByDoubleClick() { return false; }
