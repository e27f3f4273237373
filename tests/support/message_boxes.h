// Reads message boxes of another process back and dismisses them, as a user
// pressing OK would.
#pragma once

#include <windows.h>

#include <string>

struct SeenMessageBox {
  std::string caption;
  std::string text;
};

// Waits up to `timeoutMs` for a message box of process `processId`; reads its
// caption and text, presses OK and waits until it is gone. False on time-out.
bool DismissNextMessageBox(DWORD processId, DWORD timeoutMs, SeenMessageBox& seen);
