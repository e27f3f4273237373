// The end-to-end harness: layout, records and machine-state scopes.
#include "tests/e2e/e2e_harness.h"

#include <cstdint>
#include <cstdio>

#include "tests/support/text_conversion.h"

#include <objbase.h>
#include <shlobj.h>

#include "tests/support/message_boxes.h"
#include "tests/support/patience.h"
#include "tests/support/shortcut_file.h"
#include "tests/support/sibling_program.h"
#include "tests/support/unique_name.h"

namespace {

// What a swapped system library's original is renamed to meanwhile.
std::string Backup(const char* library) { return std::string(library) + ".e2e-original"; }

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
  return RecordFileIn(TheLayout().records, programPath);
}

Layout BuildLayout() {
  Layout layout;
  layout.bin = ProgramFolder();
  layout.samples = layout.bin + "..\\signed-programs\\";
  const std::string drive = EnvironmentValue("AUTORUN_E2E_DRIVE").value_or("");
  if (drive.empty()) {
    layout.error = "AUTORUN_E2E_DRIVE (the medium's drive, e.g. R:) is not set; run through CTest";
    return layout;
  }
  layout.medium = drive + "\\";
  const std::string cdrom = EnvironmentValue("AUTORUN_E2E_CDROM").value_or("");
  if (!cdrom.empty()) layout.cdrom = cdrom + "\\";
  const std::string state = EnvironmentValue("AUTORUN_E2E_CDROM_STATE").value_or("");
  if (FILE* file = state.empty() ? nullptr : std::fopen(state.c_str(), "rb")) {
    char line[200] = {};
    layout.cdromState = std::fgets(line, sizeof line, file) ? line : "";
    if (!layout.cdromState.empty() && layout.cdromState.back() == '\n') {
      layout.cdromState.pop_back();
    }
    std::fclose(file);
  }
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  layout.work = std::string(path) + "autorun-e2e\\";
  layout.records = layout.work + "records";
  MakeFolders(layout.records);
  MakeFolders(layout.work + "Product Work");
  SetEnvironmentVariableA("AUTORUN_TEST_RECORD_DIR", layout.records.c_str());
  // For links that name their target through a variable, as setups do.
  SetEnvironmentVariableA("AUTORUN_E2E_WORK", layout.work.c_str());
  // The share behind the medium's drive, for the network variant.
  SetEnvironmentVariableA("AUTORUN_TEST_SHARE", (layout.work + "Share\\").c_str());

  // Left behind by a run that was killed half-way.
  for (const char* library : {"psapi.dll", "msi.dll"}) SystemLibrarySwap::PutBack(library);
  for (const char* name : kPlantedLibraries) DeleteFileA((layout.medium + name).c_str());

  const std::string recorder = layout.bin + "recorder.exe";
  const std::pair<std::string, std::string> copies[] = {
      {layout.bin + "autorun.exe", layout.medium + "autorun.exe"},
      {layout.bin + "autorun_elevating.exe", layout.medium + "autorun_elevating.exe"},
      {layout.bin + "autorun_refused.exe", layout.medium + "autorun_refused.exe"},
      {layout.bin + "autorun_network.exe", layout.medium + "autorun_network.exe"},
      {layout.bin + "autorun_windows_resolution.exe",
       layout.medium + "autorun_windows_resolution.exe"},
      {layout.bin + "autorun_x86_resolution.exe", layout.medium + "autorun_x86_resolution.exe"},
      {recorder, layout.work + "Share\\setup\\setup.exe"},
      {layout.bin + "autorun-signed.exe", layout.medium + "autorun-signed.exe"},
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
  const std::wstring foreignWork = WideFromUtf8(kForeignWork);
  CreateDirectoryW(WideFromUtf8(kForeignFolder).c_str(), nullptr);
  CreateDirectoryW(foreignWork.c_str(), nullptr);
  if (!CopyFileW(WideFrom(recorder, CP_ACP).c_str(), WideFromUtf8(kForeignProduct).c_str(),
                 FALSE) ||
      GetFileAttributesW(foreignWork.c_str()) == INVALID_FILE_ATTRIBUTES) {
    layout.error += "cannot place the product in a folder outside the code page; ";
  }
  // The product installed by Windows Installer, for the advertised shortcut's
  // cases; installing it again changes nothing.
  StartedProcess installer(SystemFile("msiexec.exe"),
                           "/i \"" + layout.bin + "installer_product.msi\" /qn", layout.bin);
  if (installer.Finish(Patience(120000)) != 0) layout.error += "msiexec could not install; ";
  char programs86[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, programs86, CSIDL_PROGRAM_FILESX86, FALSE);
  layout.programs86 = std::string(programs86) + "\\";
  // Named so in the environment of 32-bit and 64-bit programs alike.
  const std::optional<std::string> programs = EnvironmentValue("ProgramW6432");
  if (!programs || programs->empty()) layout.error += "ProgramW6432 is not set; ";
  layout.programs = programs.value_or("") + "\\";
  return layout;
}

}  // namespace

std::string PendingBox(const StartedProcess& launcher) {
  SeenMessageBox seen;
  if (!DismissNextMessageBox(launcher.Id(), 300, seen)) return "no box is showing";
  return "it shows \"" + seen.caption + "\" / \"" + seen.text + "\"";
}

const Layout& TheLayout() {
  static const Layout layout = BuildLayout();
  return layout;
}

std::string Expand(std::string text) {
  const std::pair<std::string, std::string> names[] = {{"{medium}", TheLayout().medium},
                                                       {"{work}", TheLayout().work},
                                                       {"{programs86}", TheLayout().programs86},
                                                       {"{programs}", TheLayout().programs},
                                                       {"{cdrom}", TheLayout().cdrom}};
  for (const auto& [name, folder] : names) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, name.size(), folder);
      at += folder.size();
    }
  }
  return text;
}

namespace {

// FNV-1a, 64 bits: enough to tell a changed file from an unchanged one.
void Mix(std::uint64_t& digest, const char* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    digest = (digest ^ static_cast<unsigned char>(bytes[i])) * 0x100000001B3ull;
  }
}

void MixFolder(std::uint64_t& digest, const std::string& folder) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    Mix(digest, name.c_str(), name.size() + 1);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      MixFolder(digest, folder + name + "\\");
      continue;
    }
    if (FILE* file = std::fopen((folder + name).c_str(), "rb")) {
      char buffer[4096];
      for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        Mix(digest, buffer, got);
      }
      std::fclose(file);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

std::string FolderDigest(const std::string& root) {
  std::uint64_t digest = 0xCBF29CE484222325ull;
  MixFolder(digest, root);
  return std::to_string(digest);
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
  return WaitForRecordFile(RecordFile(programPath), timeoutMs);
}

bool WaitForAnyRecord(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (ListRecords().empty()) {
    if (GetTickCount() - start >= Patience(timeoutMs)) return false;
    Sleep(20);
  }
  return true;
}

Hold::Hold() {
  // A name of its own per case, so that no program of an earlier case holds on.
  const std::string name = UniqueName("AutorunE2EHold");
  event_ = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
  name_.emplace("AUTORUN_TEST_HOLD_EVENT", name.c_str());
}

Hold::~Hold() {
  Release();
  CloseHandle(event_);
}

Shortcut::Shortcut(int folderId, const std::string& linkName, const std::wstring& target,
                   const std::wstring& workingDirectory, const std::wstring& descriptor,
                   const std::optional<StoredTarget>& stored) {
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
  bool outsideAscii = false;
  for (const wchar_t c : target) outsideAscii = outsideAscii || c > 0x7F;
  if (stored) {
    ok_ = SaveStoredTargetShortcut(path_, NarrowFrom(target, CP_ACP), workingDirectory,
                                   stored->blocks, stored->environmentTarget);
  } else if (!descriptor.empty()) {
    ok_ = SaveAdvertisedShortcut(path_, descriptor, workingDirectory);
  } else if (outsideAscii) {
    ok_ = SaveItemListShortcut(path_, target, workingDirectory);
  } else {
    ok_ = SaveShortcut(path_, target, workingDirectory.c_str());
  }
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

namespace {

HANDLE NewReleaseEvent(std::string& name) {
  name = UniqueName("AutorunE2EGuardRelease");
  return CreateEventA(nullptr, TRUE, FALSE, name.c_str());
}

}  // namespace

ForeignGuard::ForeignGuard(const char* how)
    : release_(NewReleaseEvent(releaseName_)),
      process_(TheLayout().bin + "foreign_guard.exe",
               std::string(how) + " " + kGuardName + " " + releaseName_) {
  // Taken once the name names something: a semaphore this process may wait
  // on, or an object of another kind.
  const DWORD start = GetTickCount();
  while (release_ != nullptr && process_.Started() && !process_.HasEnded(0) &&
         GetTickCount() - start < Patience(10000)) {
    const HANDLE seen = OpenSemaphoreA(SYNCHRONIZE, FALSE, kGuardName);
    if (seen != nullptr || GetLastError() == ERROR_INVALID_HANDLE) {
      if (seen != nullptr) CloseHandle(seen);
      ok_ = true;
      return;
    }
    Sleep(20);
  }
}

ForeignGuard::~ForeignGuard() {
  if (release_ == nullptr) return;
  SetEvent(release_);
  process_.Finish(5000);
  CloseHandle(release_);
}

FileCopy::FileCopy(const std::string& from, const std::string& to, const std::string& restoreFrom)
    : to_(to),
      restoreFrom_(restoreFrom),
      ok_(CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE) {}

TextFile::TextFile(const std::string& path, const std::string& text) : path_(path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ok_ = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
  CloseHandle(file);
}

FileCopy::~FileCopy() {
  if (restoreFrom_.empty()) {
    DeleteFileA(to_.c_str());
  } else {
    CopyFileA(restoreFrom_.c_str(), to_.c_str(), FALSE);
  }
}

ProgramCopy::ProgramCopy(const std::string& path)
    : path_(path), ok_(CopyInto(TheLayout().bin + "recorder.exe", path)) {}

ProgramCopy::~ProgramCopy() {
  DeleteFileA(path_.c_str());
  RemoveDirectoryA(path_.substr(0, path_.rfind('\\')).c_str());
}

SystemLibrarySwap::SystemLibrarySwap(const std::string& replacement, const char* library)
    : library_(library) {
  PutBack(library);
  // Renamed, not overwritten: a process may have the original mapped.
  ok_ = MoveFileA(SystemFile(library).c_str(), SystemFile(Backup(library).c_str()).c_str()) &&
        CopyFileA(replacement.c_str(), SystemFile(library).c_str(), FALSE);
}

void SystemLibrarySwap::PutBack(const char* library) {
  const std::string backup = SystemFile(Backup(library).c_str());
  if (GetFileAttributesA(backup.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  DeleteFileA(SystemFile(library).c_str());
  MoveFileA(backup.c_str(), SystemFile(library).c_str());
}
