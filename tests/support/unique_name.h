// Names no other test or run uses at the same time, for folders, registry
// keys, events, guards and window titles.
#pragma once

#include <windows.h>

#include <string>

// `prefix` followed by this process's id, the tick count and a counter.
inline std::string UniqueName(const char* prefix) {
  static unsigned counter = 0;
  return std::string(prefix) + std::to_string(GetCurrentProcessId()) + "_" +
         std::to_string(GetTickCount()) + "_" + std::to_string(++counter);
}
