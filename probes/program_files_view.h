// A 64-bit product's path as a 32-bit program reads it from the product's
// shortcut on 64-bit Windows: the shell may map C:\Program Files to the
// 32-bit view, C:\Program Files (x86), where the product is not.
#pragma once

#include "launcher/fixed_text.h"

// Corrects `path` in place: when it names nothing and begins with the 32-bit
// program-files folder (%ProgramFiles(x86)%, or %CommonProgramFiles(x86)%),
// followed by a backslash or nothing, the same rest under the native folder
// (%ProgramW6432%, %CommonProgramW6432%) is taken if that names a file (a
// folder, for `isDirectory`). Otherwise, and when the corrected path would
// not fit, the path stays as it is. Nothing else is guessed. True when the
// path was corrected; `original` then holds what it was.
bool CorrectX86Folder(WidePlatformPath& path, bool isDirectory, WidePlatformPath& original);
