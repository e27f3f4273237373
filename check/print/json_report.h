// Findings as one JSON document, for a publisher's pipeline: every finding
// with the same fields, and the counts.
#pragma once

#include <string>

#include "check/print/report.h"

// {"findings": [{"severity", "code", "file", "section", "key", "line" (null
// when unknown), "message", "consequence", "fix", "medium"}, ...],
//  "summary": {"errors", "warnings", "notes"}}
std::string JsonReport(const Report& report);
