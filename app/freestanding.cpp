// The C library functions autorun.exe needs, since it links with no C
// run-time and no C library; each chosen deliberately:
//   strlen, strstr, memmove, and wcslen, wcsstr for wide text: here. Called
//     by the launcher's own code (the fixed-capacity texts, the substring
//     test, path splitting, the class-path join).
//   memcpy, memset: here. Nothing calls them today, but the compiler emits
//     them on its own for block copies and fills, so a new structure copy or
//     cleared area links as before; the linker drops them while unused.
//   ___chkstk_ms, the stack probe for frames over a page (the decision flow's
//     and the class-path merge's areas): libgcc, linked after this file.
//   The 64-bit division helpers (__udivdi3 and kin), should code ever divide
//     64-bit numbers in the 32-bit build: libgcc too. None is used today.
// Written for size, not speed: the longest text is 32,767 characters.
//
// Built with -fno-builtin -fno-tree-loop-distribute-patterns
// (app/CMakeLists.txt), so the compiler does not turn these loops back into
// calls to the functions they define.
#include <cstddef>

extern "C" {

std::size_t strlen(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

char* strstr(const char* haystack, const char* needle) {
  for (;; ++haystack) {
    std::size_t i = 0;
    while (needle[i] != '\0' && haystack[i] == needle[i]) ++i;
    if (needle[i] == '\0') return const_cast<char*>(haystack);
    if (*haystack == '\0') return nullptr;
  }
}

std::size_t wcslen(const wchar_t* text) {
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

wchar_t* wcsstr(const wchar_t* haystack, const wchar_t* needle) {
  for (;; ++haystack) {
    std::size_t i = 0;
    while (needle[i] != 0 && haystack[i] == needle[i]) ++i;
    if (needle[i] == 0) return const_cast<wchar_t*>(haystack);
    if (*haystack == 0) return nullptr;
  }
}

void* memmove(void* destination, const void* source, std::size_t count) {
  auto* to = static_cast<unsigned char*>(destination);
  const auto* from = static_cast<const unsigned char*>(source);
  if (to < from) {
    for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
  } else {
    while (count-- > 0) to[count] = from[count];
  }
  return destination;
}

void* memcpy(void* destination, const void* source, std::size_t count) {
  return memmove(destination, source, count);
}

void* memset(void* destination, int value, std::size_t count) {
  auto* to = static_cast<unsigned char*>(destination);
  for (std::size_t i = 0; i < count; ++i) to[i] = static_cast<unsigned char>(value);
  return destination;
}

}  // extern "C"
