// install.dat judged as the launcher reads it: its sections, every key the
// launcher reads, and the programs it names.
#pragma once

#include "check/judge/medium_findings.h"

void JudgeInstallDat(MediumFindings& findings);
