// autorun.inf judged as the desktop's automatic start reads it.
#pragma once

#include "check/judge/medium_findings.h"

void JudgeAutorunInf(MediumFindings& findings);
