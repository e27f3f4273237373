// The size floor: the least a program built by the launcher's toolchain and
// flags, entry point of its own included, can be while it still shows one
// message box.
#include <windows.h>

extern "C" [[noreturn]] __attribute__((force_align_arg_pointer)) void AutorunEntry() {
  MessageBoxA(nullptr, "Floor", "Autorun", MB_OK);
  ExitProcess(0);
}
