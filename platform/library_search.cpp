// The process's default library search, limited to the system directory.
#include "platform/library_search.h"

#include <windows.h>

#include "platform/system_library.h"

void RestrictLibrarySearchToSystem() {
  // Looked up, not imported: a Windows 7 without the update still starts.
  // The kernel library is loaded in every process.
  const auto setDefaultDirectories = LookUpFunction<BOOL(WINAPI*)(DWORD)>(
      GetModuleHandleA("KERNEL32.DLL"), "SetDefaultDllDirectories");
  if (setDefaultDirectories != nullptr) setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
