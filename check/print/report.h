// What one run of the checker found, over every medium it was given, ready
// to print as text, JSON or SARIF.
#pragma once

#include <string>
#include <vector>

#include "check/judge/finding.h"

enum class ReportFormat { Text, Json, Sarif };

struct ReportedMedium {
  std::string name;  // as the command line gave it
  bool image = false;
};

struct Report {
  std::vector<ReportedMedium> media;
  std::vector<Finding> findings;  // each naming its medium, disabled codes left out
};

struct FindingCounts {
  int errors = 0;
  int warnings = 0;
  int notes = 0;
};

// The findings of `medium`, or of all media when it is null.
FindingCounts CountFindings(const std::vector<Finding>& findings, const std::string* medium);

// 1 when a finding is as severe as `failOn` or more (notes never count),
// else 0: the checker's exit status.
int FindingsStatus(const std::vector<Finding>& findings, Severity failOn);
