// The end-to-end harness: the sample medium mounted as a drive, the installed
// product's files, the records that started programs leave, and scopes that
// each put one piece of machine state in place and take it away again, also
// when a case fails half-way.
#pragma once

#include <windows.h>

#include <optional>
#include <set>
#include <string>

#include "tests/support/environment_scope.h"
#include "tests/support/recorder_record.h"
#include "tests/support/shortcut_file.h"
#include "tests/support/started_process.h"

// What each scope below is: tied to one place, never copied.
class Scope {
 public:
  Scope() = default;
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
};

// Where a run happens. The medium is a drive root, as a disc is; the work
// folder holds the installed product and the programs a case keeps running.
struct Layout {
  std::string medium;      // "R:\"
  std::string work;        // ends in a backslash
  std::string records;     // where started programs write what they saw
  std::string bin;         // this program's folder: autorun.exe, autorun-signed.exe, recorder.exe,
                           // e2e_psapi.dll, installer_product.msi
  std::string programs86;  // the 32-bit Program Files folder, ending in a backslash
  std::string programs;    // the native one (%ProgramW6432%), ending in a backslash
  std::string cdrom;       // "S:\", the read-only CD-ROM drive of the mastered image
  std::string cdromState;  // how it is read-only ("writable: ..." when it is not)
  std::string samples;     // the programs signed at build time (make-signed-programs.sh)
  std::string error;       // why the layout could not be built; empty when it was
};
// The product installed in a folder whose name no ANSI code page of the tests
// holds, its folder, and a working folder beside it; in UTF-8.
constexpr char kForeignProduct[] = u8"C:\\Program Files\\Łódź Soft\\demo.exe";
constexpr char kForeignFolder[] = u8"C:\\Program Files\\Łódź Soft";
constexpr char kForeignWork[] = u8"C:\\Program Files\\Łódź Soft\\Dane";

// Built on first use: the medium's programs and files in place, and the
// package of installer_product.msi installed with msiexec.
const Layout& TheLayout();

// The text with "{medium}", "{work}", "{programs86}", "{programs}" and
// "{cdrom}" replaced by those folders.
std::string Expand(std::string text);

// What the stand-in programs saw (recorder_record.h), in the layout's records.
void ClearRecords();
std::set<std::string> ListRecords();
// Waits for the record of the program at `programPath`, named after its file.
std::optional<Record> WaitForRecord(const std::string& programPath, DWORD timeoutMs);
bool WaitForAnyRecord(DWORD timeoutMs);

// The event that keeps every started stand-in program running until released.
class Hold : Scope {
 public:
  Hold();
  ~Hold();
  void Release() { SetEvent(event_); }

 private:
  HANDLE event_;
  std::optional<EnvironmentScope> name_;
};

// A shortcut written from the file format: its target as stored, and the
// data blocks (shortcut_file.h) of a link relative to the program-files
// folder, the environment block holding `environmentTarget`.
struct StoredTarget {
  unsigned blocks = kNoBlocks;
  std::wstring environmentTarget;
};

// A shortcut made with the shell's link object below a Start-menu Programs
// folder (`folderId`, a CSIDL); `linkName` is in the ANSI code page and may
// name one folder of its own, which goes with the shortcut. Its target and
// working directory are wide, as the link holds them.
class Shortcut : Scope {
 public:
  // With a `descriptor` of Windows Installer's, the shortcut is an
  // advertised one, which names that instead of `target`. With `stored`, it
  // is written from the file format instead.
  Shortcut(int folderId, const std::string& linkName, const std::wstring& target,
           const std::wstring& workingDirectory, const std::wstring& descriptor = L"",
           const std::optional<StoredTarget>& stored = std::nullopt);
  ~Shortcut();
  bool Ok() const { return ok_; }

 private:
  std::wstring path_;
  std::wstring folder_;
  bool ok_ = false;
};

// A hidden top-level window with the given title.
class TitledWindow : Scope {
 public:
  explicit TitledWindow(const char* title);
  ~TitledWindow() { DestroyWindow(window_); }
  bool Ok() const { return window_ != nullptr; }

 private:
  HWND window_;
};

// The launcher's single-instance guard.
constexpr char kGuardName[] = "TavikAutorun_DemoVersion";

// foreign_guard.exe holding the guard's name as `how` says ("wait-only": the
// semaphore, which others may only wait on; "mutex": a mutex) while this
// lives: past the launcher's end, which must not take the guard on release.
class ForeignGuard : Scope {
 public:
  explicit ForeignGuard(const char* how);
  ~ForeignGuard();
  bool Ok() const { return ok_; }

 private:
  std::string releaseName_;
  HANDLE release_;
  StartedProcess process_;
  bool ok_ = false;
};

// A stand-in program that runs until the hold is released; its record is
// taken away once it has started, so that it does not count as started by
// the launcher.
class RunningProgram : Scope {
 public:
  RunningProgram(const std::string& path, Hold& hold);
  ~RunningProgram() { hold_.Release(); }
  bool Ok() const { return ok_; }

 private:
  Hold& hold_;
  StartedProcess process_;
  bool ok_ = false;
};

// Libraries planted on the medium's root, beside autorun.exe: the process-
// status library, which the launcher loads itself, and libraries that the
// window-manager, shell and component libraries load by name, at their own
// start or on demand. Under Wine told to prefer them, the version and theme
// libraries are loaded from there when the launcher's search is left as it
// comes.
constexpr const char* kPlantedLibraries[] = {
    "PSAPI.DLL",         "version.dll", "uxtheme.dll",   "dwmapi.dll",
    "comctl32.dll",      "propsys.dll", "cryptbase.dll", "sspicli.dll",
    "profapi.dll",       "userenv.dll", "winmm.dll",     "textinputframework.dll",
    "windowscodecs.dll", "oleacc.dll",  "msimg32.dll"};

// A file holding `text` for the duration; `path` may name a stream of
// another file ("setup.exe:Zone.Identifier"), which Wine keeps as a file of
// that name beside it.
class TextFile : Scope {
 public:
  TextFile(const std::string& path, const std::string& text);
  ~TextFile() { DeleteFileA(path_.c_str()); }
  bool Ok() const { return ok_; }

 private:
  std::string path_;
  bool ok_ = false;
};

// A copy of a file for the duration; with `restoreFrom`, `to` is a copy of
// that file again afterwards, instead of going.
class FileCopy : Scope {
 public:
  FileCopy(const std::string& from, const std::string& to, const std::string& restoreFrom = "");
  ~FileCopy();
  bool Ok() const { return ok_; }

 private:
  std::string to_;
  std::string restoreFrom_;
  bool ok_;
};

// A copy of the stand-in program at `path` for the duration, in a folder of
// its own, which goes with it.
class ProgramCopy : Scope {
 public:
  explicit ProgramCopy(const std::string& path);
  ~ProgramCopy();
  bool Ok() const { return ok_; }

 private:
  std::string path_;
  bool ok_;
};

// A library of the system directory (the process-status library, or the
// installer's) swapped for `replacement`; the original is put back
// afterwards, and also by the next run when this one was killed before it
// could.
class SystemLibrarySwap : Scope {
 public:
  SystemLibrarySwap(const std::string& replacement, const char* library);
  ~SystemLibrarySwap() { PutBack(library_); }
  bool Ok() const { return ok_; }
  static void PutBack(const char* library);

 private:
  const char* library_;
  bool ok_ = false;
};

// A digest of every name and byte below `root`, to tell that nothing there
// changed.
std::string FolderDigest(const std::string& root);

// For failure messages: the box the launcher shows now, if any (dismissed).
std::string PendingBox(const StartedProcess& launcher);
