// Whether the launcher, a 32-bit program, runs on 64-bit Windows: there the
// system shows it the 32-bit view of the program-files folders.
#pragma once

// True under WOW64; false elsewhere, and on systems too old to tell
// (IsWow64Process is looked up at run time, so they still load the launcher).
bool RunsUnderWow64();
