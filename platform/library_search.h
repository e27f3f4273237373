// The process's own library search, narrowed before anything else runs.
#pragma once

// Restricts the library search of this process to the system directory, so
// that a library of a system library's name beside the program (on the
// medium, in a download folder) is never loaded in its place, whether the
// system libraries load it at their own start or on demand. A setting of
// this process alone: the programs it starts search as they always do.
// Without the function (Windows 7 lacking its update) nothing changes.
void RestrictLibrarySearchToSystem();
