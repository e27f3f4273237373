// Findings as text, one line each, and the summary lines.
#include "check/print/text_report.h"

std::string FormatFinding(const Finding& finding) {
  std::string line = std::string(SeverityName(finding.severity)) + ": " + finding.file;
  if (finding.line > 0) line += ":" + std::to_string(finding.line);
  if (!finding.section.empty()) line += " [" + finding.section + "]";
  if (!finding.key.empty()) line += " " + finding.key;
  return line + ": " + finding.problem + "; " + finding.consequence + ". Fix: " + finding.action +
         ". (" + finding.code + ")";
}

namespace {

std::string Counted(int count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

std::string FormatCounts(const FindingCounts& counts) {
  return Counted(counts.errors, "error") + ", " + Counted(counts.warnings, "warning") + ", " +
         Counted(counts.notes, "note");
}

std::string TextReport(const Report& report) {
  const bool several = report.media.size() > 1;
  std::string text;
  for (const Finding& finding : report.findings) {
    text += (several ? finding.medium + ": " : "") + FormatFinding(finding) + "\n";
  }
  for (const ReportedMedium& medium : report.media) {
    text += medium.name + ": " + FormatCounts(CountFindings(report.findings, &medium.name)) + "\n";
  }
  if (several) {
    text += "total: " + FormatCounts(CountFindings(report.findings, nullptr)) + " in " +
            std::to_string(report.media.size()) + " media\n";
  }
  return text;
}
