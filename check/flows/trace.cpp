// One trace for the whole explanation, in the order its lines were added.
#include "check/flows/trace.h"

namespace {

std::string& Trace() {
  static std::string trace;
  return trace;
}

}  // namespace

void TraceLine(const std::string& line) { Trace() += line + "\n"; }

void TraceStep(const std::string& asked, const std::string& answer) {
  TraceLine("step: " + asked + " -> " + answer);
}

void TraceFact(const std::string& fact) { TraceLine("  " + fact); }

std::string TakeTrace() {
  std::string taken;
  taken.swap(Trace());
  return taken;
}
