// Loads a system library by its full path in the system directory, so a
// library of the same name on the medium is never picked up instead.
#include "platform/system_library.h"

#include "launcher/fixed_text.h"

UniqueLibrary LoadSystemLibrary(const char* fileName) {
  PlatformPath path;
  const UINT length = GetSystemDirectoryA(path.Area(), PlatformPath::kAreaSize);
  if (length == 0 || length > PlatformPath::kCapacity) return UniqueLibrary();
  if (!path.Append("\\") || !path.Append(fileName)) return UniqueLibrary();
  return UniqueLibrary(LoadLibraryA(path.c_str()));
}

// Out of line: every system function the launcher loads on demand goes
// through here, at the cost of one call each.
FARPROC SystemProcedure(const char* libraryFileName, const char* name) {
  HMODULE library = GetModuleHandleA(libraryFileName);
  if (library == nullptr) library = LoadSystemLibrary(libraryFileName).Release();
  return library == nullptr ? nullptr : GetProcAddress(library, name);
}
