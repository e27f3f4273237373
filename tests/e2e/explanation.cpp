// The checker's explanation captured and read, and the machine around it.
#include "tests/e2e/explanation.h"

#include <tlhelp32.h>

#include <sstream>

#include "tests/e2e/e2e_harness.h"
#include "tests/support/patience.h"
#include "tests/support/started_process.h"
#include "tests/support/unique_name.h"

namespace {

// The text between the first pair of double quotes after `from`.
std::string QuotedAfter(const std::string& line, std::size_t from) {
  const std::size_t open = line.find('"', from);
  const std::size_t close = line.find('"', open + 1);
  return open == std::string::npos || close == std::string::npos
             ? ""
             : line.substr(open + 1, close - open - 1);
}

void ReadPrediction(Prediction& prediction) {
  std::istringstream lines(prediction.output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("box: caption ", 0) == 0) {
      const std::size_t text = line.find(", text ");
      prediction.boxes.push_back({QuotedAfter(line, 0), QuotedAfter(line, text)});
    } else if (line.rfind("start: program ", 0) == 0) {
      prediction.program = QuotedAfter(line, 0);
      prediction.cwd = QuotedAfter(line, line.find(", working directory "));
    } else if (line.rfind("classpath: ", 0) == 0) {
      prediction.classPath =
          line.rfind("classpath: CLASSPATH unset", 0) == 0 ? "(unset)" : QuotedAfter(line, 0);
    } else if (line.rfind("wait: ", 0) == 0) {
      prediction.waits = true;
    } else if (line.rfind("verdict: ", 0) == 0 && prediction.verdict.empty()) {
      prediction.verdict = line.substr(9);
    } else if (line.rfind("outcome: ", 0) == 0) {
      prediction.outcome = line.substr(9);
    }
  }
}

}  // namespace

Prediction RunChecker(const std::string& arguments, const std::string& directory,
                      const std::string& checkerFile) {
  Prediction prediction;
  const std::string outputFile = TheLayout().work + UniqueName("explain") + ".txt";
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  const std::string checker = TheLayout().bin + checkerFile;
  std::string line = "\"" + checker + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION started = {};
  prediction.exitCode = StartedProcess::kNotStarted;
  if (output != INVALID_HANDLE_VALUE &&
      CreateProcessA(checker.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                     directory.c_str(), &startup, &started)) {
    CloseHandle(started.hThread);
    if (WaitForSingleObject(started.hProcess, Patience(30000)) != WAIT_OBJECT_0) {
      TerminateProcess(started.hProcess, StartedProcess::kTimedOut);
      WaitForSingleObject(started.hProcess, 5000);
    }
    GetExitCodeProcess(started.hProcess, &prediction.exitCode);
    CloseHandle(started.hProcess);
  }
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  const HANDLE input = CreateFileA(outputFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
  if (input != INVALID_HANDLE_VALUE) {
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
      prediction.output.append(buffer, read);
    }
    CloseHandle(input);
  }
  DeleteFileA(outputFile.c_str());
  ReadPrediction(prediction);
  return prediction;
}

MachineSnapshot MachineSnapshot::Take(const std::string& unInstKey) {
  MachineSnapshot snapshot;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((TheLayout().medium + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::ostringstream file;
      file << found.cFileName << ' ' << found.nFileSizeLow << ' '
           << found.ftLastWriteTime.dwLowDateTime << ' ' << found.ftLastWriteTime.dwHighDateTime;
      snapshot.medium.insert(file.str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  const std::pair<HKEY, std::string> keys[] = {
      {HKEY_CURRENT_USER, "Environment"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + unInstKey},
  };
  for (const auto& [root, path] : keys) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      snapshot.registry.push_back(path + ": none");
      continue;
    }
    char name[256];
    BYTE data[4096];
    for (DWORD index = 0;; ++index) {
      DWORD nameSize = sizeof name;
      DWORD dataSize = sizeof data;
      DWORD type = 0;
      if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) !=
          ERROR_SUCCESS) {
        break;
      }
      snapshot.registry.push_back(std::string(name) + '=' + std::to_string(type) + ':' +
                                  std::string(reinterpret_cast<char*>(data), dataSize));
    }
    RegCloseKey(key);
  }
  // The system's own services come and go with the libraries a program
  // loads; no program of the medium's or the product's is one of them.
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 process = {};
  process.dwSize = sizeof process;
  for (BOOL more = Process32First(processes, &process); more;
       more = Process32Next(processes, &process)) {
    const std::string inSystem = std::string(system) + "\\" + process.szExeFile;
    if (GetFileAttributesA(inSystem.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (process.th32ProcessID == GetCurrentProcessId()) continue;
    snapshot.processes.insert(std::to_string(process.th32ProcessID) + ' ' + process.szExeFile);
  }
  CloseHandle(processes);
  const HANDLE guard = OpenSemaphoreA(SYNCHRONIZE, FALSE, kGuardName);
  snapshot.guardHeld = guard != nullptr;
  if (guard != nullptr) CloseHandle(guard);
  return snapshot;
}
