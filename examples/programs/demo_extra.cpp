// The medium's direct-run programs (RunFirst and Installed): each notes that
// it ran, under its own file name, and ends.
#include "examples/programs/demo_common.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  DemoLog("direct-run program ran: %s (working directory %s)", program, directory);
  return 0;
}
