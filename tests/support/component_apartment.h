// Whether the calling thread is in an apartment of the component library,
// asked with CoGetApartmentType, looked up at run time.
#pragma once

#include <windows.h>

#include <objbase.h>

inline bool InComponentApartment() {
  using GetApartmentType = HRESULT(WINAPI*)(APTTYPE*, APTTYPEQUALIFIER*);
  const HMODULE library = LoadLibraryA("ole32.dll");
  const auto getType = reinterpret_cast<GetApartmentType>(
      reinterpret_cast<void*>(GetProcAddress(library, "CoGetApartmentType")));
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  // Missing, the question cannot be answered: counted as held, so it fails.
  return getType == nullptr || getType(&type, &qualifier) != CO_E_NOTINITIALIZED;
}
