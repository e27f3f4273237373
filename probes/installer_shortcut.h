// What Windows Installer says of a shortcut: an advertised one names a
// product's component instead of a file, and only the installer knows the
// component's path.
#pragma once

#include "launcher/fixed_text.h"

enum class InstallerAnswer {
  NotAdvertised,  // a plain shortcut, or no installer to ask: read the link itself
  Installed,      // the component is there; its path is the program
  Unavailable,    // advertised, but the component is absent, broken or unknown
};

// What the installer said of an advertised shortcut, for a caller that
// explains the answer. Written only as far as the installer answered: a
// caller that reads it value-initialises it (InstallerFacts facts{}).
struct InstallerFacts {
  wchar_t product[39];    // the product's code, a GUID in braces
  wchar_t component[39];  // the component's
  int state;              // its INSTALLSTATE: 3 local, 4 from its source
};

// Asks the installer (msi.dll, loaded from the system directory on first use)
// for the program behind `shortcutPath`.
InstallerAnswer AskInstaller(const wchar_t* shortcutPath, WidePlatformPath& programPath,
                             InstallerFacts& facts);
