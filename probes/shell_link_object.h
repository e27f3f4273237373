// The shell's link object, which reads and resolves shortcut files. Made by
// this one function, in a file of its own, so that a test variant of the
// launcher can link one whose resolution behaves as Windows documents where
// Wine's does not.
#pragma once

#include <windows.h>

#include <shobjidl.h>

// A new link object (CLSID_ShellLink, through IShellLinkW), in the caller's
// apartment; null when it cannot be made. The caller releases it.
IShellLinkW* CreateShellLink();
