// Started by a double-click, the checker has a console window that nobody
// else shares and that vanishes with it: its output would be gone before it
// could be read.
#include "check/flows/console_window.h"

#include <windows.h>

#include <cstdio>

bool InConsoleOfItsOwn() {
  DWORD processes[2];
  DWORD mode = 0;
  return GetConsoleProcessList(processes, 2) == 1 &&
         GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != FALSE;
}

void WaitForEnter() {
  std::printf("\nPress Enter to close this window.\n");
  std::fflush(stdout);
  for (int c = std::getchar(); c != '\n' && c != EOF;) c = std::getchar();
}
