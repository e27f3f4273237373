// A shortcut stored relative to a known folder, a special folder or an
// environment variable (%ProgramFiles%): to a 32-bit program on 64-bit
// Windows the shell maps such a folder to its 32-bit view, so a link to
// C:\Program Files\X\x.exe reads as C:\Program Files (x86)\X\x.exe, and the
// same for its working directory.
#pragma once

#include <windows.h>

#include <shobjidl.h>

// Reads `link`, just loaded, again with the folder-relative tracking turned
// off (SLDF_DISABLE_KNOWNFOLDER_RELATIVE_TRACKING): saved to memory and
// loaded back, it names the stored paths themselves. A link without such a
// block is left alone: the shell's Save may not write a plain link back
// exactly (Wine's drops the relative path's flag, shifting the strings after
// it). Nothing changes when a step before the load fails; should the load
// itself fail, the link holds what that load left, and the caller reads it
// as it would any link.
void ReloadWithoutFolderTranslation(IShellLinkW* link);
