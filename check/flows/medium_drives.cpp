// The drives the explanation looks at when it is given no medium and the
// current directory holds none: a medium is the root of a drive, so only the
// drives' roots are looked at.
#include "check/flows/medium_drives.h"

#include <windows.h>

namespace {

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Media are looked for first where a disc or a stick is.
int Rank(UINT type) { return type == DRIVE_CDROM || type == DRIVE_REMOVABLE ? 0 : 1; }

}  // namespace

std::vector<std::string> MediumDrives() {
  // An empty optical or floppy drive would otherwise ask the user for a disc.
  DWORD previousMode = 0;
  const bool modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode) != FALSE;
  std::vector<std::string> found[2];
  const DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if ((drives & (DWORD{1} << letter)) == 0) continue;
    const std::string root = std::string(1, static_cast<char>('A' + letter)) + ":\\";
    const UINT type = GetDriveTypeA(root.c_str());
    if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) continue;
    if (IsFile(root + "autorun.exe") && IsFile(root + "install.dat")) {
      found[Rank(type)].push_back(root);
    }
  }
  if (modeSet) SetThreadErrorMode(previousMode, nullptr);
  found[0].insert(found[0].end(), found[1].begin(), found[1].end());
  return found[0];
}
