// Where a medium for the launcher is, when nobody says: the drives whose root
// holds autorun.exe beside install.dat.
#pragma once

#include <string>
#include <vector>

// The roots ("E:\") of the drives that hold a medium: optical and removable
// drives first, then the others, each in letter order. A drive without a
// disc is passed over without the system's "insert a disk" box.
std::vector<std::string> MediumDrives();
