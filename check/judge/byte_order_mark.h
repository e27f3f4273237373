// What a byte-order mark at the start of install.dat or autorun.inf does on
// Windows. Windows' initialization-file reader knows only UTF-16 LE's mark:
// it reads a file with any other as ANSI bytes, mark included. (Wine's
// reader also decodes UTF-8 and UTF-16 BE files, which is why a medium can
// work under Wine and fail on Windows.)
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/judge/finding.h"
#include "check/judge/medium_findings.h"
#include "check/read/ini_reader.h"

// Which of the lines before the first section header the mark's findings
// already speak for, so that they need no warning of their own.
enum class MarkedLines { None, FirstLine, AllBeforeFirstSection };

// The file judged and who reads it on Windows.
struct MarkedFile {
  const char* name;     // "install.dat"
  const char* reader;   // "the launcher"
  const char* unicode;  // what a UTF-16 LE file means for the reader; null: nothing
};

// What the mark hides, so that the findings that follow from it alone are
// left to the mark's one finding.
struct MarkEffect {
  MarkedLines lines = MarkedLines::None;
  bool noSection = false;     // Windows finds no section at all
  std::string hiddenSection;  // the section whose header line the mark spoils
  bool Hides(std::string_view section) const;
};

// Adds the mark's finding, if it has one, to `findings`.
MarkEffect CheckByteOrderMark(const IniDocument& document, const MarkedFile& file,
                              std::vector<Finding>& findings);
