// Findings as text lines, and the exit status they make.
#pragma once

#include <string>
#include <vector>

#include "check/judge/finding.h"

// 1 when a finding is an error or a warning, else 0: the checker's exit status.
int FindingsStatus(const std::vector<Finding>& findings);

// One line: severity, file, section and key, problem, consequence, action.
std::string FormatFinding(const Finding& finding);
