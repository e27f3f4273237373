// The product's shortcut below the all-users Start-menu Programs folder.
#pragma once

#include "launcher/fixed_text.h"

// The full path of the shortcut named by `productLink`, when it exists.
bool FindProductShortcut(const char* productLink, ValueText& shortcutPath);

// The shortcut's target and working directory, through the shell's link
// object, wide: a product's folder may be named in any script.
bool ResolveShortcut(const char* shortcutPath, WidePlatformPath& targetPath,
                     WidePlatformPath& workingDirectory);
