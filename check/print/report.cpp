// Counting a report's findings, and the exit status they make.
#include "check/print/report.h"

#include <algorithm>

FindingCounts CountFindings(const std::vector<Finding>& findings, const std::string* medium) {
  FindingCounts counts;
  for (const Finding& finding : findings) {
    if (medium != nullptr && finding.medium != *medium) continue;
    int& count = finding.severity == Severity::Error     ? counts.errors
                 : finding.severity == Severity::Warning ? counts.warnings
                                                         : counts.notes;
    ++count;
  }
  return counts;
}

int FindingsStatus(const std::vector<Finding>& findings, Severity failOn) {
  const bool fails =
      std::any_of(findings.begin(), findings.end(), [failOn](const Finding& finding) {
        return finding.severity != Severity::Note && finding.severity <= failOn;
      });
  return fails ? 1 : 0;
}
