// The --help text's list of findings: every code of the table, its usual
// severity and its summary, wrapped to the terminal's customary 80 columns.
#include "check/print/findings_help.h"

#include <algorithm>

#include "check/print/finding_codes.h"

namespace {

constexpr std::size_t kWidth = 79;
constexpr std::size_t kCodeColumn = 24;
constexpr std::size_t kSeverityColumn = 8;
const std::string kHanging(2 + kCodeColumn + kSeverityColumn, ' ');

// `text` from column `used` on, wrapped at blanks with the hanging indent.
std::string Wrapped(const std::string& text, std::size_t used) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.size();
    if (used + (end - start) > kWidth) {
      end = text.rfind(' ', start + (kWidth - used));
      if (end == std::string::npos || end <= start) end = text.find(' ', start);
      if (end == std::string::npos) end = text.size();
    }
    out += text.substr(start, end - start) + "\n";
    start = end + 1;
    if (start < text.size()) {
      out += kHanging;
      used = kHanging.size();
    }
  }
  return out;
}

}  // namespace

std::string FindingsHelp() {
  std::string help =
      "Findings, by code (--disable CODE leaves a code out; errors and warnings make\n"
      "the exit status 1, or errors only with --fail-on error; notes never do):\n";
  for (const FindingCode& row : FindingCodes()) {
    // A code too long for its column keeps one blank after it.
    std::string line = "  " + std::string(row.code) + " ";
    line.resize(std::max(line.size(), std::size_t{2 + kCodeColumn}), ' ');
    line += SeverityName(row.severity);
    line.resize(std::max(line.size() + 1, kHanging.size()), ' ');
    help += line + Wrapped(row.summary, line.size());
  }
  return help;
}
