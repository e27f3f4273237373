// Starting the chosen program, merging the user's class path before the
// product's start, and waiting for the program's end.
#pragma once

#include "launcher/launcher_operations.h"
#include "start/class_path_join.h"

// Brings the user's stored CLASSPATH (HKCU\Environment) into the launcher's
// own variable, which the product inherits. Without a stored value nothing
// changes.
void MergeClassPath();

// Starts `programPath` with no arguments in `workingDirectory`; null when
// the start failed. Both are wide, so that a path outside the ANSI code page
// (a product's folder named in another script) reaches the system intact.
ProcessHandle StartProgram(const wchar_t* workingDirectory, const wchar_t* programPath,
                           bool mergeClassPath);

// Returns once the program has ended.
void WaitForProgram(ProcessHandle program);
