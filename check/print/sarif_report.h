// Findings as a SARIF 2.1.0 log, which code-scanning services read: one run,
// a rule for every finding code with its help, a result for every finding
// with the file it is in.
#pragma once

#include <string>

#include "check/print/report.h"

std::string SarifReport(const Report& report, const std::string& version);
