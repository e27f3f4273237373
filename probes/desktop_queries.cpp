// Small questions to the desktop: message boxes, the current directory,
// windows by title and the code page's lead bytes.
#include "probes/desktop_queries.h"
#include "platform/system_library.h"

void ShowMessage(const char* text, const char* caption) {
  const auto messageBox = SystemFunction<decltype(&MessageBoxA)>("USER32.DLL", "MessageBoxA");
  if (messageBox != nullptr) messageBox(nullptr, text, caption, MB_OK);
}

bool GetCurrentDir(PlatformPath& directory) {
  const DWORD length = GetCurrentDirectoryA(PlatformPath::kAreaSize, directory.Area());
  // Zero is a failure; a length beyond the area is the size it would need.
  if (length == 0 || length > PlatformPath::kCapacity) {
    directory.Clear();
    return false;
  }
  return true;
}

bool IsWindowTitlePresent(const char* title) {
  const auto findWindow = SystemFunction<decltype(&FindWindowA)>("USER32.DLL", "FindWindowA");
  return findWindow != nullptr && findWindow(nullptr, title) != nullptr;
}

bool IsSystemLeadByte(unsigned char leadCandidate) {
  return IsDBCSLeadByte(leadCandidate) != FALSE;
}
