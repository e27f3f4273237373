// Every code a finding can carry, in one table: its usual severity, a
// one-line summary and one paragraph of help. --help lists them, the SARIF
// report makes a rule of each, and the publishers' guide explains each under
// a heading of its name (a test holds the guide to the table).
#pragma once

#include <string_view>
#include <vector>

#include "check/judge/finding.h"

struct FindingCode {
  const char* code;
  Severity severity;    // the usual one; the help says where a key changes it
  const char* summary;  // one line
  const char* help;     // the cause, what follows from it, and what to do
};

// In the order of --help and the guide.
const std::vector<FindingCode>& FindingCodes();

// The code's row, or null.
const FindingCode* FindFindingCode(std::string_view code);
