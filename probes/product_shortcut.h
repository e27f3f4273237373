// The product's shortcut below the all-users Start-menu Programs folder.
#pragma once

#include "launcher/fixed_text.h"

// The full path of the shortcut named by `productLink`, when it exists.
bool FindProductShortcut(const char* productLink, ValueText& shortcutPath);

// The shortcut's target and working directory, through the shell's link object.
bool ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                     PlatformPath& workingDirectory);
