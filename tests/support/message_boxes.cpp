// Finds a process's message box among the top-level windows, reads it and
// presses its OK button.
#include "tests/support/message_boxes.h"

#include <cstring>

#include "tests/support/patience.h"

namespace {

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") != 0) return TRUE;
  search->found = window;
  return FALSE;
}

std::string WindowText(HWND window) {
  char text[2048] = {};
  if (window != nullptr) GetWindowTextA(window, text, sizeof text);
  return text;
}

// The box's text is its static control; its id differs between systems, so
// the static control with the longest text is taken.
BOOL CALLBACK FindText(HWND child, LPARAM context) {
  char className[64] = {};
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") == 0) {
    auto* text = reinterpret_cast<std::string*>(context);
    std::string candidate = WindowText(child);
    if (candidate.size() > text->size()) *text = candidate;
  }
  return TRUE;
}

}  // namespace

bool DismissNextMessageBox(DWORD processId, DWORD timeoutMs, SeenMessageBox& seen) {
  // Each step (the box showing, its caption and text, its end after OK) has
  // the whole time: under emulation the first box of a session also waits
  // for the desktop to start, which must not eat the later steps' time.
  timeoutMs = Patience(timeoutMs);
  DWORD start = GetTickCount();
  Search search{processId, nullptr};
  while (search.found == nullptr) {
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) break;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  // The box exists before it has its caption and text: read it once it shows
  // both (every box of the launcher has both), or as it is when time is up.
  start = GetTickCount();
  for (;;) {
    seen.caption = WindowText(search.found);
    seen.text.clear();
    EnumChildWindows(search.found, FindText, reinterpret_cast<LPARAM>(&seen.text));
    const bool complete =
        IsWindowVisible(search.found) && !seen.caption.empty() && !seen.text.empty();
    if (complete || GetTickCount() - start > timeoutMs) break;
    Sleep(20);
  }
  PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(search.found, IDOK)));
  start = GetTickCount();
  while (IsWindow(search.found)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}
