// The product's shortcut below the all-users Start-menu Programs folder.
#pragma once

#include "launcher/fixed_text.h"
#include "probes/installer_shortcut.h"

// The full path of the shortcut named by `productLink`, when it exists;
// `programsFolder` is the all-users Programs folder it was looked for in
// (empty when the shell gave none).
bool FindProductShortcut(const char* productLink, ValueText& shortcutPath,
                         PlatformPath& programsFolder);

// What the resolution found on the way, for a caller that explains it.
// Written only as far as the resolution went: a caller that reads it
// value-initialises it (ShortcutFacts facts{}) and sets the two results to a
// value of its own first, to see whether they were asked for.
struct ShortcutFacts {
  bool readUntranslated;  // read from its own bytes, the shell's translations off
  bool advertised;        // Windows Installer's to answer
  InstallerFacts installer;
  WidePlatformPath x86Target;  // the "(x86)" target replaced by its native path, if any
  long resolution;             // what Resolve returned; not asked after that replacement
  long workingDirectoryStatus;
  WidePlatformPath x86Directory;  // the same for the working directory
};

// The shortcut's target and working directory, through the shell's link
// object, wide: a product's folder may be named in any script.
bool ResolveShortcut(const char* shortcutPath, WidePlatformPath& targetPath,
                     WidePlatformPath& workingDirectory, ShortcutFacts& facts);
