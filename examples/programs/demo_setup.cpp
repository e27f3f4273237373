// The sample medium's setup program: notes where it was started, works for
// two seconds and ends, so the demo can show that the launcher waits for it.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  if (FILE* log = std::fopen("demo-setup.txt", "w")) {
    std::fprintf(log, "setup started in %s\n", directory);
    std::fflush(log);
    Sleep(2000);
    std::fprintf(log, "setup finished after 2 seconds\n");
    std::fclose(log);
  }
  return 0;
}
