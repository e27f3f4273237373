// The list of running processes' identifiers, as complete as the platform
// gives it: it grows while the enumeration fills it, so a busy machine does
// not hide the product.
#pragma once

#include <windows.h>

// The process-status library's enumeration, looked up at run time.
using EnumProcessesFn = BOOL(WINAPI*)(DWORD* ids, DWORD bytes, DWORD* bytesReturned);

class ProcessList {
 public:
  ProcessList() = default;
  ProcessList(const ProcessList&) = delete;
  ProcessList& operator=(const ProcessList&) = delete;
  ~ProcessList() { Free(); }

  // Enumerates every process (up to about a million). When the list cannot
  // grow (no memory, or the enumeration fails on a larger area) it keeps the
  // processes already listed; a first enumeration that fails leaves it empty.
  void Enumerate(EnumProcessesFn enumProcesses);
  DWORD Count() const { return count_; }
  DWORD operator[](DWORD index) const { return ids_[index]; }

 private:
  void Free();
  DWORD* ids_ = nullptr;
  DWORD count_ = 0;
};
