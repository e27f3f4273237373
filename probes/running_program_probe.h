// The running-program probe.
#pragma once

#include <windows.h>

#include "launcher/launcher_operations.h"

// What the probe found, for a caller that explains the answer. Written only
// as far as the probe went: a caller that reads it value-initialises it
// (RunningProgramFacts facts{}).
struct RunningProgramFacts {
  DWORD processesListed;  // stays 0 when the process-status library is missing
  DWORD processId;        // the matching process
  ValueText fileName;     // its full file name, when one matched
};

// Whether a running program's full file name contains `exeName`. Shows
// "Failed to load PSAPI.DLL" when the process-status library lacks a function,
// through `boxes` (the desktop's own box when null).
bool IsProgramRunning(const char* exeName, RunningProgramFacts& facts,
                      LauncherOperations* boxes = nullptr);
