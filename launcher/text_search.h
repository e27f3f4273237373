// The case-sensitive, character-wise substring test the launcher uses for
// the direct-run switch, the running-program match and the class-path merge.
#pragma once

#include <cstring>
#include <cwchar>

// True when `needle` occurs in `haystack`; the empty text occurs in every text.
inline bool ContainsText(const char* haystack, const char* needle) {
  return std::strstr(haystack, needle) != nullptr;
}
// Some C libraries' wcsstr finds nothing in an empty text, not even the
// empty text.
inline bool ContainsText(const wchar_t* haystack, const wchar_t* needle) {
  return *needle == 0 || std::wcsstr(haystack, needle) != nullptr;
}
