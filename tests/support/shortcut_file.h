// Shortcut files made with the shell's own link object, as a setup program
// makes them.
#pragma once

#include <string>

// Saves a shortcut to `target` at `linkPath` (in the ANSI code page); without
// `workingDirectory` the link names none. The component object library must
// be initialised on this thread. False when it could not be saved.
bool SaveShortcut(const std::string& linkPath, const std::string& target,
                  const char* workingDirectory);
