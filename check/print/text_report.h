// Findings as text lines, one a finding, and a summary line a medium.
#pragma once

#include <string>

#include "check/judge/finding.h"
#include "check/print/report.h"

// One line: severity, file (and line), section and key, problem,
// consequence, action, and the code.
std::string FormatFinding(const Finding& finding);

// "1 error, 2 warnings, 0 notes".
std::string FormatCounts(const FindingCounts& counts);

// Every finding's line (named by its medium when there are several), then a
// summary line for each medium, and the total when there are several.
std::string TextReport(const Report& report);
