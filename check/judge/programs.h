// Every program on a medium judged as Windows will judge it before it runs:
// what it is (a Windows program, for which CPU, or something CreateProcess
// cannot start) and whether its Authenticode signature will be trusted.
// The programs the launcher starts (autorun.inf's open=, SetupPath,
// RunFirst, Installed) weigh more than the medium's other .exe and .dll
// files.
#pragma once

#include "check/judge/medium_findings.h"

void JudgePrograms(MediumFindings& findings);
