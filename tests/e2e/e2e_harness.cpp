// The end-to-end harness: layout, records, processes and machine-state scopes.
#include "tests/e2e/e2e_harness.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/support/message_boxes.h"
#include "tests/support/registry_view.h"

namespace {

constexpr char kPsapi[] = "psapi.dll";
constexpr char kPsapiBackup[] = "psapi.dll.e2e-original";

std::string SystemFile(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

void MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryA(path.c_str(), nullptr);
}

bool CopyInto(const std::string& from, const std::string& to) {
  MakeFolders(to.substr(0, to.rfind('\\')));
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

std::string RecordFile(const std::string& programPath) {
  std::string name = programPath.substr(programPath.rfind('\\') + 1);
  return TheLayout().records + "\\" + name.substr(0, name.rfind('.')) + ".txt";
}

Layout BuildLayout() {
  Layout layout;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  layout.bin = path;
  layout.bin.resize(layout.bin.rfind('\\') + 1);
  const std::string drive = Variable("AUTORUN_E2E_DRIVE");
  if (drive.empty()) {
    layout.error = "AUTORUN_E2E_DRIVE (the medium's drive, e.g. R:) is not set; run through CTest";
    return layout;
  }
  layout.medium = drive + "\\";
  GetTempPathA(MAX_PATH, path);
  layout.work = std::string(path) + "autorun-e2e\\";
  layout.records = layout.work + "records";
  MakeFolders(layout.records);
  MakeFolders(layout.work + "Product Work");
  SetEnvironmentVariableA("AUTORUN_TEST_RECORD_DIR", layout.records.c_str());

  // Left behind by a run that was killed half-way.
  SystemLibrarySwap::PutBack();
  DeleteFileA((layout.medium + "PSAPI.DLL").c_str());

  const std::string recorder = layout.bin + "recorder.exe";
  const std::pair<std::string, std::string> copies[] = {
      {layout.bin + "autorun.exe", layout.medium + "autorun.exe"},
      {recorder, layout.medium + "setup\\setup.exe"},
      {recorder, layout.medium + "extras\\runfirst.exe"},
      {recorder, layout.medium + "extras\\installed.exe"},
      {recorder, layout.work + "Product\\product.exe"},
      {recorder, layout.work + "Program Files\\My Product\\my product.exe"},
      {recorder, layout.work + "Held Product\\app.exe"},
  };
  for (const auto& [from, to] : copies) {
    if (!CopyInto(from, to)) layout.error += "cannot copy " + from + " to " + to + "; ";
  }
  return layout;
}

std::optional<Record> ReadRecord(const std::string& file) {
  FILE* stream = std::fopen(file.c_str(), "rb");
  if (stream == nullptr) return std::nullopt;
  Record record;
  char line[4096];
  while (std::fgets(line, sizeof line, stream) != nullptr) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const size_t equals = text.find('=');
    if (equals != std::string::npos) record[text.substr(0, equals)] = text.substr(equals + 1);
  }
  std::fclose(stream);
  return record;
}

}  // namespace

std::string Variable(const char* name) {
  std::string value(32767, '\0');
  const DWORD length = GetEnvironmentVariableA(name, &value[0], 32767);
  value.resize(length < 32767 ? length : 0);
  return value;
}

std::string PendingBox(const Process& launcher) {
  SeenMessageBox seen;
  if (!DismissNextMessageBox(launcher.Id(), 300, seen)) return "no box is showing";
  return "it shows \"" + seen.caption + "\" / \"" + seen.text + "\"";
}

// Without this locale Wine cannot make file names holding double-byte
// characters (the code page alone comes from LC_ALL).
bool JapaneseLocaleGenerated() {
  const std::string folder = Variable("LOCPATH");
  return !folder.empty() && GetFileAttributesA(("Z:" + folder + "/ja_JP.UTF-8/LC_CTYPE").c_str()) !=
                                INVALID_FILE_ATTRIBUTES;
}

const Layout& TheLayout() {
  static const Layout layout = BuildLayout();
  return layout;
}

std::string Expand(std::string text) {
  const std::pair<std::string, std::string> names[] = {{"{medium}", TheLayout().medium},
                                                       {"{work}", TheLayout().work}};
  for (const auto& [name, folder] : names) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, name.size(), folder);
      at += folder.size();
    }
  }
  return text;
}

std::set<std::string> ListRecords() {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((TheLayout().records + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    // A record being written is renamed into place when complete.
    if (name != "." && name != ".." && name.find(".tmp") == std::string::npos) {
      names.insert(name);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

void ClearRecords() {
  for (const std::string& name : ListRecords()) {
    DeleteFileA((TheLayout().records + "\\" + name).c_str());
  }
}

std::optional<Record> WaitForRecord(const std::string& programPath, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    if (auto record = ReadRecord(RecordFile(programPath))) return record;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return std::nullopt;
}

bool WaitForAnyRecord(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (ListRecords().empty()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

Process::Process(const std::string& program, const std::string& arguments,
                 const std::string& workingDirectory) {
  std::string line = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     workingDirectory.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    id_ = process.dwProcessId;
  }
}

Process::~Process() {
  if (process_ == nullptr) return;
  if (!HasEnded(3000)) TerminateProcess(process_, 1);
  CloseHandle(process_);
}

bool Process::HasEnded(DWORD timeoutMs) const {
  return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

EnvVar::EnvVar(const char* name, const char* value) : name_(name) {
  if (GetEnvironmentVariableA(name, nullptr, 0) != 0) old_ = Variable(name);
  SetEnvironmentVariableA(name, value);
}

EnvVar::~EnvVar() { SetEnvironmentVariableA(name_.c_str(), old_ ? old_->c_str() : nullptr); }

Hold::Hold() {
  // A name of its own per case, so that no program of an earlier case holds on.
  static int serial = 0;
  const std::string name =
      "AutorunE2EHold" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
  event_ = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
  name_.emplace("AUTORUN_TEST_HOLD_EVENT", name.c_str());
}

Hold::~Hold() {
  Release();
  CloseHandle(event_);
}

RegistryValue::RegistryValue(HKEY root, const std::string& subkey, const char* name,
                             const char* value)
    : root_(root), subkey_(subkey), name_(name) {
  // The first key on the way that is missing goes afterwards, with all below it.
  size_t end = 0;
  do {
    end = subkey.find('\\', end + 1);
    HKEY probe = nullptr;
    if (RegOpenKeyExA(root, subkey.substr(0, end).c_str(), 0, KEY_READ | kLauncherRegistryView,
                      &probe) != ERROR_SUCCESS) {
      created_ = subkey.substr(0, end);
    }
    if (probe != nullptr) RegCloseKey(probe);
  } while (created_.empty() && end != std::string::npos);
  if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kLauncherRegistryView,
                      nullptr, &key_, nullptr) != ERROR_SUCCESS) {
    key_ = nullptr;
    return;
  }
  char data[32768];
  DWORD size = sizeof data - 1;
  if (RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
      ERROR_SUCCESS) {
    data[size] = '\0';
    old_ = data;
  }
  if (value == nullptr) {
    ok_ = !old_ || RegDeleteValueA(key_, name) == ERROR_SUCCESS;
  } else {
    ok_ = RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
  }
}

RegistryValue::~RegistryValue() {
  if (key_ == nullptr) return;
  if (old_) {
    RegSetValueExA(key_, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(old_->c_str()),
                   static_cast<DWORD>(old_->size() + 1));
  } else {
    RegDeleteValueA(key_, name_.c_str());
  }
  RegCloseKey(key_);
  if (created_.empty()) return;
  for (std::string key = subkey_;; key.resize(key.rfind('\\'))) {
    if (RegDeleteKeyExA(root_, key.c_str(), kLauncherRegistryView, 0) != ERROR_SUCCESS) break;
    if (key == created_) break;
  }
}

Shortcut::Shortcut(int folderId, const std::string& linkName, const std::string& target,
                   const std::string& workingDirectory) {
  char folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, folder, folderId, TRUE)) return;
  // Split in UTF-16, where a double-byte character's second byte cannot pass
  // for a backslash.
  const std::string path = std::string(folder) + linkName;
  path_.resize(path.size() + 1);
  path_.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &path_[0], static_cast<int>(path_.size()))));
  if (path_.empty()) return;
  path_.pop_back();
  folder_ = path_.substr(0, path_.rfind(L'\\'));
  CreateDirectoryW(folder_.c_str(), nullptr);

  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->SetPath(target.c_str())) &&
      SUCCEEDED(link->SetWorkingDirectory(workingDirectory.c_str())) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    ok_ = SUCCEEDED(file->Save(path_.c_str(), TRUE));
    file->Release();
  }
  link->Release();
}

Shortcut::~Shortcut() {
  if (path_.empty()) return;
  DeleteFileW(path_.c_str());
  RemoveDirectoryW(folder_.c_str());
  CoUninitialize();
}

TitledWindow::TitledWindow(const char* title) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "AutorunE2ETitledWindow";
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  window_ = CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100,
                            100, nullptr, nullptr, windowClass.hInstance, nullptr);
}

RunningProgram::RunningProgram(const std::string& path, Hold& hold)
    : hold_(hold), process_(path, "", path.substr(0, path.rfind('\\'))) {
  // Once it has written its record it runs, with its modules loaded.
  ok_ = process_.Started() && WaitForRecord(path, 10000).has_value();
  DeleteFileA(RecordFile(path).c_str());
}

FileCopy::FileCopy(const std::string& from, const std::string& to)
    : to_(to), ok_(CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE) {}

SystemLibrarySwap::SystemLibrarySwap(const std::string& replacement) {
  PutBack();
  // Renamed, not overwritten: a process may have the original mapped.
  ok_ = MoveFileA(SystemFile(kPsapi).c_str(), SystemFile(kPsapiBackup).c_str()) &&
        CopyFileA(replacement.c_str(), SystemFile(kPsapi).c_str(), FALSE);
}

void SystemLibrarySwap::PutBack() {
  const std::string backup = SystemFile(kPsapiBackup);
  if (GetFileAttributesA(backup.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  DeleteFileA(SystemFile(kPsapi).c_str());
  MoveFileA(backup.c_str(), SystemFile(kPsapi).c_str());
}
