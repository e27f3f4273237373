// A stand-in for the programs the launcher starts (setup, product, direct-run
// programs). It records what it was given: its own path, its working
// directory, its CLASSPATH and its command line, in
// %AUTORUN_TEST_RECORD_DIR%\<its name>.txt, then, when
// %AUTORUN_TEST_HOLD_EVENT% names an event, keeps running until that event is
// set (at most a minute), so a test can see whether the launcher waits.
// Everything is read wide and written in UTF-8: a recorder that read through
// the ANSI code page would itself lose the characters the tests look for.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/text_conversion.h"

namespace {

std::wstring Environment(const wchar_t* name, bool* present = nullptr) {
  static wchar_t value[32768];
  const DWORD length = GetEnvironmentVariableW(name, value, 32768);
  if (present != nullptr) *present = length != 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  return length == 0 || length >= 32768 ? std::wstring() : std::wstring(value, length);
}

}  // namespace

int main() {
  wchar_t modulePath[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
  std::wstring name = modulePath;
  name = name.substr(name.find_last_of(L'\\') + 1);
  name = name.substr(0, name.find_last_of(L'.'));

  wchar_t workingDirectory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, workingDirectory);
  bool hasClassPath = false;
  const std::wstring classPath = Environment(L"CLASSPATH", &hasClassPath);

  std::string record;
  record += "program=" + Utf8From(modulePath) + "\n";
  record += "cwd=" + Utf8From(workingDirectory) + "\n";
  record += "classpath=" + (hasClassPath ? Utf8From(classPath) : std::string("(unset)")) + "\n";
  record += "commandline=" + Utf8From(GetCommandLineW()) + "\n";

  std::wstring directory = Environment(L"AUTORUN_TEST_RECORD_DIR");
  if (directory.empty()) directory = workingDirectory;
  const std::wstring path = directory + L"\\" + name + L".txt";
  const std::wstring temporary = path + L".tmp";
  if (FILE* file = _wfopen(temporary.c_str(), L"wb")) {
    std::fwrite(record.data(), 1, record.size(), file);
    std::fclose(file);
    MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }

  const std::wstring holdEvent = Environment(L"AUTORUN_TEST_HOLD_EVENT");
  if (!holdEvent.empty()) {
    if (HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, holdEvent.c_str())) {
      WaitForSingleObject(event, 60000);
      CloseHandle(event);
    }
  }
  return 0;
}
