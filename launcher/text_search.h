// The case-sensitive, byte-wise substring test the launcher uses for the
// direct-run switch, the running-program match and the class-path merge.
#pragma once

#include <cstring>

// True when `needle` occurs in `haystack`; the empty text occurs in every text.
inline bool ContainsText(const char* haystack, const char* needle) {
  return std::strstr(haystack, needle) != nullptr;
}
