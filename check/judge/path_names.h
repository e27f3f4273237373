// The names in the paths that install.dat and autorun.inf give, judged
// before mastering: what Joliet will cut, and what Windows does not allow.
#pragma once

#include "check/judge/medium_findings.h"

void JudgePathNames(MediumFindings& findings);
