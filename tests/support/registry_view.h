// The registry view that autorun.exe reads. A 32-bit program on 64-bit
// Windows sees the 32-bit view of HKLM\SOFTWARE, a 64-bit one the 64-bit
// view; autorun.exe and the test programs come from one build and so share a
// bitness, and the tests write where the launcher will look.
#pragma once

#include <windows.h>

constexpr REGSAM kLauncherRegistryView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
