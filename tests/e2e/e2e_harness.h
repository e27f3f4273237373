// The end-to-end harness: the sample medium mounted as a drive, the installed
// product's files, the records that started programs leave, processes, and
// scopes that each put one piece of machine state in place and take it away
// again, also when a case fails half-way.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>

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
  std::string medium;   // "R:\"
  std::string work;     // ends in a backslash
  std::string records;  // where started programs write what they saw
  std::string bin;      // this program's folder: autorun.exe, recorder.exe, e2e_psapi.dll
  std::string error;    // why the layout could not be built; empty when it was
};
// Built on first use: the medium's programs and install-free files in place.
const Layout& TheLayout();

// A variable of this process; empty when unset.
std::string Variable(const char* name);

// Without the generated ja_JP.UTF-8 locale (LOCPATH) Wine cannot make file
// names holding double-byte characters.
bool JapaneseLocaleGenerated();

// The text with "{medium}" and "{work}" replaced by those folders.
std::string Expand(std::string text);

// What a stand-in program saw (program, cwd, classpath, commandline).
using Record = std::map<std::string, std::string>;
void ClearRecords();
std::set<std::string> ListRecords();
// Waits for the record of the program at `programPath`, named after its file.
std::optional<Record> WaitForRecord(const std::string& programPath, DWORD timeoutMs);
bool WaitForAnyRecord(DWORD timeoutMs);

// A process started by the harness; one still running at the end is ended.
class Process : Scope {
 public:
  Process(const std::string& program, const std::string& arguments,
          const std::string& workingDirectory);
  ~Process();
  bool Started() const { return process_ != nullptr; }
  DWORD Id() const { return id_; }
  bool HasEnded(DWORD timeoutMs) const;
  DWORD ExitCode() const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Sets (or, given null, removes) a variable of this process, which the
// launcher and its programs inherit.
class EnvVar : Scope {
 public:
  EnvVar(const char* name, const char* value);
  ~EnvVar();

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// The event that keeps every started stand-in program running until released.
class Hold : Scope {
 public:
  Hold();
  ~Hold();
  void Release() { SetEvent(event_); }

 private:
  HANDLE event_;
  std::optional<EnvVar> name_;
};

// A registry value (null: absent) for the duration; keys it had to create
// are deleted afterwards, a value it replaced is put back.
class RegistryValue : Scope {
 public:
  RegistryValue(HKEY root, const std::string& subkey, const char* name, const char* value);
  ~RegistryValue();
  bool Ok() const { return ok_; }

 private:
  HKEY root_;
  std::string subkey_;
  std::string name_;
  HKEY key_ = nullptr;
  std::string created_;  // the first key that was missing
  std::optional<std::string> old_;
  bool ok_ = false;
};

// A shortcut made with the shell's link object below a Start-menu Programs
// folder (`folderId`, a CSIDL); `linkName` is in the ANSI code page and may
// name one folder of its own, which goes with the shortcut.
class Shortcut : Scope {
 public:
  Shortcut(int folderId, const std::string& linkName, const std::string& target,
           const std::string& workingDirectory);
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
  Process process_;
  bool ok_ = false;
};

// A copy of a file for the duration.
class FileCopy : Scope {
 public:
  FileCopy(const std::string& from, const std::string& to);
  ~FileCopy() { DeleteFileA(to_.c_str()); }
  bool Ok() const { return ok_; }

 private:
  std::string to_;
  bool ok_;
};

// The system directory's process-status library swapped for `replacement`;
// the original is put back afterwards, and also by the next run when this
// one was killed before it could.
class SystemLibrarySwap : Scope {
 public:
  explicit SystemLibrarySwap(const std::string& replacement);
  ~SystemLibrarySwap() { PutBack(); }
  bool Ok() const { return ok_; }
  static void PutBack();

 private:
  bool ok_ = false;
};

// For failure messages: the box the launcher shows now, if any (dismissed).
std::string PendingBox(const Process& launcher);
