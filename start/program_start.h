// Starting the chosen program, merging the user's class path before the
// product's start, and waiting for the program's end.
#pragma once

#include "launcher/launcher_operations.h"
#include "start/class_path_join.h"

// What the merge read, for a caller that explains it; the merge works in
// these areas. Written only as far as the merge went: a caller that reads it
// value-initialises it (ClassPathFacts facts{}).
struct ClassPathFacts {
  bool storedRead;           // the user's stored CLASSPATH was there, and fits a variable
  unsigned long storedType;  // its registry type (REG_SZ, REG_EXPAND_SZ, ...)
  unsigned long storedSize;  // its size in bytes
  EnvironmentText stored;    // as the merge takes it, in UTF-16
  EnvironmentText current;   // the process's own CLASSPATH; empty when unset
};

// The CLASSPATH the product inherits after the merge: false when the
// variable stays as it is (nothing stored, or the stored class path is
// already part of it, or the joined text would not fit), otherwise `joined`.
bool MergedClassPath(EnvironmentText& joined, ClassPathFacts& facts);

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
