// The demo product: notes the working directory and CLASSPATH it was given,
// runs for two seconds and ends, so the demo can show that the launcher
// started it through its shortcut, merged the class path and waited.
#include "examples/programs/demo_common.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const DWORD start = GetTickCount();
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  static char classPath[32767];
  if (GetEnvironmentVariableA("CLASSPATH", classPath, sizeof classPath) == 0) classPath[0] = '\0';
  DemoLog("product started: %s", program);
  DemoLog("product working directory: %s", directory);
  DemoLog("product CLASSPATH: %s", classPath[0] != '\0' ? classPath : "(not set)");
  Sleep(2000);
  DemoLog("product ended after %lu ms", GetTickCount() - start);
  return 0;
}
