// The size floor: the least a program built by the launcher's toolchain and
// flags can be while it still shows one message box.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "Floor", "Autorun", MB_OK);
  return 0;
}
