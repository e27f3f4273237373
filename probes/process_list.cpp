// The process list: identifiers in a heap area that grows until the
// enumeration no longer fills it.
#include "probes/process_list.h"

namespace {
constexpr DWORD kFirstListLength = 1024;
constexpr DWORD kLongestList = 1u << 20;
}  // namespace

void ProcessList::Enumerate(EnumProcessesFn enumProcesses) {
  for (DWORD capacity = kFirstListLength; capacity <= kLongestList; capacity *= 2) {
    Free();
    ids_ = static_cast<DWORD*>(HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(DWORD)));
    if (ids_ == nullptr) return;
    DWORD bytes = 0;
    if (!enumProcesses(ids_, capacity * sizeof(DWORD), &bytes)) return;
    count_ = bytes / sizeof(DWORD);
    // A full list may have left processes out: ask again with more room.
    if (count_ < capacity) return;
  }
}

void ProcessList::Free() {
  if (ids_ != nullptr) HeapFree(GetProcessHeap(), 0, ids_);
  ids_ = nullptr;
  count_ = 0;
}
