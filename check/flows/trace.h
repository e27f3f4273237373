// The explanation's trace: every step the launcher takes, with what this
// machine answered, held until the run is over, so that the verdict, known
// only at the end, can come first.
#pragma once

#include <string>

// Adds one line (without its line end) to the trace.
void TraceLine(const std::string& line);
// A step: what the launcher asks, in words with its call in brackets, and
// the answer.
void TraceStep(const std::string& asked, const std::string& answer);
// A fact a probe found, under its step.
void TraceFact(const std::string& fact);

// The trace so far, which is then empty again.
std::string TakeTrace();
