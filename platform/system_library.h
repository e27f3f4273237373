// System libraries by their full path in the system directory, and their
// functions by name: the launcher loads the window-manager, shell, component
// and process-status libraries this way, only on the roads that need them.
#pragma once

#include <windows.h>

#include "platform/owners.h"

// Loads a library from the system directory only, never by search path.
UniqueLibrary LoadSystemLibrary(const char* fileName);

// A function of `library`, typed by the caller; null when missing.
template <typename Function>
Function LookUpFunction(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// A function of a system library that is loaded on first use and then kept,
// so the window manager, shell and component libraries cost nothing on the
// roads that never need them. Null when the library or function is missing.
FARPROC SystemProcedure(const char* libraryFileName, const char* name);
template <typename Function>
Function SystemFunction(const char* libraryFileName, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(SystemProcedure(libraryFileName, name)));
}
