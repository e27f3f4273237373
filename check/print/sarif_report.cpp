// The SARIF log: the tool's rules from the table of codes; each result
// located in its medium's file (a folder's file by its path, an image's by
// the image itself, which is where a pipeline can point), with its line
// where known.
#include "check/print/sarif_report.h"

#include <cstdio>

#include "check/print/finding_codes.h"
#include "check/print/json_text.h"

namespace {

const char* Level(Severity severity) { return SeverityName(severity); }

// A path as a URI reference: relative paths stay relative (to where the
// checker ran), absolute ones become file: URIs; bytes outside the
// unreserved set are percent-encoded.
std::string PathUri(std::string path) {
  for (char& c : path) c = c == '\\' ? '/' : c;
  std::string uri;
  if (!path.empty() && path[0] == '/') {
    uri = "file://";
  } else if (path.size() > 1 && path[1] == ':') {
    uri = "file:///";
  }
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || std::string_view("-._~/:").find(c) != std::string::npos) {
      uri += c;
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      uri += escape;
    }
  }
  return uri;
}

std::string Join(const std::string& folder, const std::string& file) {
  if (file.empty()) return folder;
  if (folder.empty()) return file;
  const char last = folder.back();
  return folder + (last == '/' || last == '\\' ? "" : "/") + file;
}

bool IsImage(const Report& report, const std::string& medium) {
  for (const ReportedMedium& reported : report.media) {
    if (reported.name == medium) return reported.image;
  }
  return false;
}

std::string Rules() {
  std::string rules;
  for (const FindingCode& row : FindingCodes()) {
    rules += std::string(rules.empty() ? "" : ",") + "\n        {\"id\": " + JsonString(row.code) +
             ", \"shortDescription\": {\"text\": " + JsonString(row.summary) +
             "}, \"fullDescription\": {\"text\": " + JsonString(row.help) +
             "}, \"help\": {\"text\": " + JsonString(row.help) +
             "}, \"defaultConfiguration\": {\"level\": " + JsonString(Level(row.severity)) + "}}";
  }
  return rules;
}

std::string Result(const Report& report, const Finding& finding) {
  const bool image = IsImage(report, finding.medium);
  // Where in the file: the section and key, and for an image the file in it.
  std::string where = image ? finding.file : "";
  if (!finding.section.empty()) where += (where.empty() ? "[" : " [") + finding.section + "]";
  if (!finding.key.empty()) where += (where.empty() ? "" : " ") + finding.key;
  const std::string message = (where.empty() ? "" : where + ": ") + finding.problem + "; " +
                              finding.consequence + ". Fix: " + finding.action + ".";
  std::string result = "{\"ruleId\": " + JsonString(finding.code);
  const std::vector<FindingCode>& codes = FindingCodes();
  for (std::size_t index = 0; index < codes.size(); ++index) {
    if (finding.code == codes[index].code) {
      result += ", \"ruleIndex\": " + std::to_string(index);
    }
  }
  result += ", \"level\": " + JsonString(Level(finding.severity)) +
            ", \"message\": {\"text\": " + JsonString(message) + "}" +
            ", \"locations\": [{\"physicalLocation\": {\"artifactLocation\": {\"uri\": " +
            JsonString(PathUri(image ? finding.medium : Join(finding.medium, finding.file))) + "}";
  if (finding.line > 0 && !image) {
    result += ", \"region\": {\"startLine\": " + std::to_string(finding.line) + "}";
  }
  return result + "}}]}";
}

}  // namespace

std::string SarifReport(const Report& report, const std::string& version) {
  std::string results;
  for (const Finding& finding : report.findings) {
    results += std::string(results.empty() ? "" : ",") + "\n      " + Result(report, finding);
  }
  return "{\n  \"$schema\": \"https://json.schemastore.org/sarif-2.1.0.json\",\n"
         "  \"version\": \"2.1.0\",\n  \"runs\": [{\n    \"tool\": {\"driver\": {\n"
         "      \"name\": \"autorun-check\", \"version\": " +
         JsonString(version) + ",\n      \"rules\": [" + Rules() +
         "\n      ]}},\n    \"results\": [" + results + (results.empty() ? "" : "\n    ") +
         "]\n  }]\n}\n";
}
