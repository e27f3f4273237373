// What a byte-order mark at the start of install.dat does to the launcher.
// Windows' initialization-file reader knows only UTF-16 LE's mark: it reads a
// file with any other as ANSI bytes, mark included. (Wine's reader also
// decodes UTF-8 and UTF-16 BE files, which is why a medium can work under
// Wine and fail on Windows.)
#pragma once

#include <vector>

#include "check/judge/finding.h"
#include "check/judge/medium_findings.h"
#include "check/read/ini_reader.h"

// Which of the lines before the first section header the mark's findings
// already speak for, so that they need no warning of their own.
enum class MarkedLines { None, FirstLine, AllBeforeFirstSection };

// Adds the mark's findings, if it has any, to `findings`.
MarkedLines CheckByteOrderMark(const IniDocument& document, std::vector<Finding>& findings);
