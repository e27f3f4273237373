// The JSON report: one finding an object, one object a line, fields in a
// fixed order and always present.
#include "check/print/json_report.h"

#include "check/print/json_text.h"

std::string JsonReport(const Report& report) {
  std::string json = "{\n  \"findings\": [";
  const char* separator = "\n";
  for (const Finding& finding : report.findings) {
    json += separator;
    separator = ",\n";
    json += "    {\"severity\": " + JsonString(SeverityName(finding.severity)) +
            ", \"code\": " + JsonString(finding.code) + ", \"file\": " + JsonString(finding.file) +
            ", \"section\": " + JsonString(finding.section) +
            ", \"key\": " + JsonString(finding.key) +
            ", \"line\": " + (finding.line > 0 ? std::to_string(finding.line) : "null") +
            ", \"message\": " + JsonString(finding.problem) +
            ", \"consequence\": " + JsonString(finding.consequence) +
            ", \"fix\": " + JsonString(finding.action) +
            ", \"medium\": " + JsonString(finding.medium) + "}";
  }
  const FindingCounts counts = CountFindings(report.findings, nullptr);
  json += std::string(report.findings.empty() ? "" : "\n  ") +
          "],\n  \"summary\": {\"errors\": " + std::to_string(counts.errors) +
          ", \"warnings\": " + std::to_string(counts.warnings) +
          ", \"notes\": " + std::to_string(counts.notes) + "}\n}\n";
  return json;
}
