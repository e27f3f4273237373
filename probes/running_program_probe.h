// The running-program probe.
#pragma once

// Whether a running program's full file name contains `exeName`. Shows
// "Failed to load PSAPI.DLL" when the process-status library lacks a function.
bool IsProgramRunning(const char* exeName);
