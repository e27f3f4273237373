// A stand-in for the process-status library: it lacks GetModuleFileNameExA,
// and it leaves a mark (<its file name>-loaded.txt, in lower case, in
// %AUTORUN_TEST_RECORD_DIR%) in every process that loads it. Put in the
// system directory it makes the launcher report the missing function;
// planted on the medium, under its own name or that of another library a
// system library loads, it must never be loaded at all.
#include <windows.h>

extern "C" {

__declspec(dllexport) BOOL WINAPI EnumProcesses(DWORD*, DWORD, DWORD*) { return FALSE; }

__declspec(dllexport) BOOL WINAPI EnumProcessModules(HANDLE, HMODULE*, DWORD, DWORD*) {
  return FALSE;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char file[MAX_PATH];
  const DWORD fileLength = GetModuleFileNameA(self, file, MAX_PATH);
  if (fileLength == 0 || fileLength >= MAX_PATH) return TRUE;
  char* name = file + fileLength;
  while (name > file && name[-1] != '\\') --name;
  char* end = name;
  for (; *end != '\0' && *end != '.'; ++end) {
    if (*end >= 'A' && *end <= 'Z') *end = static_cast<char>(*end - 'A' + 'a');
  }
  *end = '\0';
  char path[MAX_PATH];
  const DWORD room = MAX_PATH - 20 - static_cast<DWORD>(lstrlenA(name));
  const DWORD length = GetEnvironmentVariableA("AUTORUN_TEST_RECORD_DIR", path, room);
  if (length == 0 || length >= room) return TRUE;
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  lstrcatA(path, "-loaded.txt");
  const HANDLE mark =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
  return TRUE;
}

}  // extern "C"
