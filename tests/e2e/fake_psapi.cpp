// A stand-in for the process-status library: it lacks GetModuleFileNameExA,
// and it leaves a mark (psapi-loaded.txt in %AUTORUN_TEST_RECORD_DIR%) in
// every process that loads it. Put in the system directory it makes the
// launcher report the missing function; planted on the medium it must never
// be loaded at all.
#include <windows.h>

extern "C" {

__declspec(dllexport) BOOL WINAPI EnumProcesses(DWORD*, DWORD, DWORD*) { return FALSE; }

__declspec(dllexport) BOOL WINAPI EnumProcessModules(HANDLE, HMODULE*, DWORD, DWORD*) {
  return FALSE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH];
  const DWORD room = MAX_PATH - 20;
  const DWORD length = GetEnvironmentVariableA("AUTORUN_TEST_RECORD_DIR", path, room);
  if (length == 0 || length >= room) return TRUE;
  lstrcatA(path, "\\psapi-loaded.txt");
  const HANDLE mark =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
  return TRUE;
}

}  // extern "C"
