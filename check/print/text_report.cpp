// Findings as text, one line each, and the exit status they make.
#include "check/print/text_report.h"

#include <algorithm>

int FindingsStatus(const std::vector<Finding>& findings) {
  const bool found = std::any_of(findings.begin(), findings.end(), [](const Finding& finding) {
    return finding.severity != Severity::Note;
  });
  return found ? 1 : 0;
}

std::string FormatFinding(const Finding& finding) {
  static const char* const kSeverity[] = {"error", "warning", "note"};
  std::string line =
      std::string(kSeverity[static_cast<int>(finding.severity)]) + ": " + finding.file;
  if (!finding.section.empty()) line += " [" + finding.section + "]";
  if (!finding.key.empty()) line += " " + finding.key;
  return line + ": " + finding.problem + "; " + finding.consequence + ". Fix: " + finding.action +
         ". (" + finding.code + ")";
}
