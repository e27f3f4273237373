// A stand-in for the programs the launcher starts (setup, product, direct-run
// programs). It records what it was given: its own path, its working
// directory, its CLASSPATH and its command line, in
// %AUTORUN_TEST_RECORD_DIR%\<its name>.txt, then, when
// %AUTORUN_TEST_HOLD_EVENT% names an event, keeps running until that event is
// set (at most a minute), so a test can see whether the launcher waits.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Environment(const char* name, bool* present = nullptr) {
  static char value[32768];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (present != nullptr) *present = length != 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  return length == 0 || length >= sizeof value ? std::string() : std::string(value, length);
}

}  // namespace

int main() {
  char modulePath[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
  std::string name = modulePath;
  name = name.substr(name.find_last_of('\\') + 1);
  name = name.substr(0, name.find_last_of('.'));

  char workingDirectory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, workingDirectory);
  bool hasClassPath = false;
  const std::string classPath = Environment("CLASSPATH", &hasClassPath);

  std::string record;
  record += "program=" + std::string(modulePath) + "\n";
  record += "cwd=" + std::string(workingDirectory) + "\n";
  record += "classpath=" + (hasClassPath ? classPath : std::string("(unset)")) + "\n";
  record += "commandline=" + std::string(GetCommandLineA()) + "\n";

  std::string directory = Environment("AUTORUN_TEST_RECORD_DIR");
  if (directory.empty()) directory = workingDirectory;
  const std::string path = directory + "\\" + name + ".txt";
  const std::string temporary = path + ".tmp";
  if (FILE* file = std::fopen(temporary.c_str(), "wb")) {
    std::fwrite(record.data(), 1, record.size(), file);
    std::fclose(file);
    MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }

  const std::string holdEvent = Environment("AUTORUN_TEST_HOLD_EVENT");
  if (!holdEvent.empty()) {
    if (HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, holdEvent.c_str())) {
      WaitForSingleObject(event, 60000);
      CloseHandle(event);
    }
  }
  return 0;
}
