// autorun.inf judged as the desktop's automatic start reads it.
#pragma once

#include <optional>
#include <string>

#include "check/judge/medium_findings.h"

void JudgeAutorunInf(MediumFindings& findings);

// The program autorun.inf's open= starts, as the medium's tree holds it;
// nothing when autorun.inf or that program is missing.
std::optional<std::string> LauncherOnMedium(const MediumTree& medium);
