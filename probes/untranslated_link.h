// A shortcut read from its own bytes, untranslated: on 64-bit Windows the
// shell shows a 32-bit program a link that a 64-bit setup stored relative to
// a known folder, a special folder or an environment variable (%ProgramFiles%)
// in that program's own view, so that C:\Program Files\X\x.exe reads as
// C:\Program Files (x86)\X\x.exe, where the 64-bit product is not.
#pragma once

#include <windows.h>

#include <shobjidl.h>

// Loads `link` from a copy of the shortcut file's bytes whose LinkFlags turn
// the known-folder and the link-path tracking off and no longer prefer the
// environment path ([MS-SHLLINK] 2.1.1): the folder and environment blocks
// are then ignored when loading, and the link names the target its item list
// or link information stores. The file itself is only read. False when the
// file cannot be read, is larger than 64 KiB, has no shell link's header, or
// the load fails: the caller then loads the file as the shell would.
bool LoadUntranslated(IShellLinkW* link, const wchar_t* shortcutPath);
