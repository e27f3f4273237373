// Entering and leaving the component library's apartment.
#include "platform/com_apartment.h"

#include <objbase.h>

#include "platform/system_library.h"

ComApartment::ComApartment(DWORD flags) {
  const auto initialize = SystemFunction<decltype(&CoInitializeEx)>("OLE32.DLL", "CoInitializeEx");
  entered_ = initialize != nullptr && SUCCEEDED(initialize(nullptr, flags));
}

ComApartment::~ComApartment() {
  if (!entered_) return;
  const auto uninitialize =
      SystemFunction<decltype(&CoUninitialize)>("OLE32.DLL", "CoUninitialize");
  if (uninitialize != nullptr) uninitialize();
}
