// The process list: identifiers in a local-memory area that grows until the
// enumeration no longer fills it.
#include "probes/process_list.h"

namespace {
constexpr DWORD kFirstListLength = 1024;
constexpr DWORD kLongestList = 1u << 20;
}  // namespace

void ProcessList::Enumerate(EnumProcessesFn enumProcesses) {
  Free();
  for (DWORD capacity = kFirstListLength; capacity <= kLongestList; capacity *= 2) {
    auto* larger = static_cast<DWORD*>(LocalAlloc(LMEM_FIXED, capacity * sizeof(DWORD)));
    // A list that cannot grow keeps what it already holds: a partial answer
    // still finds most running products, an empty one none.
    if (larger == nullptr) return;
    DWORD bytes = 0;
    if (!enumProcesses(larger, capacity * sizeof(DWORD), &bytes)) {
      LocalFree(larger);
      return;
    }
    Free();
    ids_ = larger;
    count_ = bytes / sizeof(DWORD);
    if (count_ > capacity) count_ = capacity;  // never trust a count past the area
    // A full list may have left processes out: ask again with more room.
    if (count_ < capacity) return;
  }
}

void ProcessList::Free() {
  if (ids_ != nullptr) LocalFree(ids_);
  ids_ = nullptr;
  count_ = 0;
}
