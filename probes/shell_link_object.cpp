// The shell's link object, from the component library loaded on demand.
#include "probes/shell_link_object.h"

#include <objbase.h>
#include <shlguid.h>

#include "platform/system_library.h"

IShellLinkW* CreateShellLink() {
  const auto createInstance =
      SystemFunction<decltype(&CoCreateInstance)>("OLE32.DLL", "CoCreateInstance");
  IShellLinkW* link = nullptr;
  if (createInstance == nullptr ||
      FAILED(createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            reinterpret_cast<void**>(&link)))) {
    return nullptr;
  }
  return link;
}
