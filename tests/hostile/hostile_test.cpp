// autorun.exe under Wine against hostile media and machine states: a broken
// or enormous install.dat, a current directory too deep for the launcher,
// registry values of the wrong type, broken shortcuts, program values that
// cannot be started and a setup program that crashes. Whatever comes, the
// launcher shows the box, ends silently or starts the program its rules
// name, never crashes or hangs, exits 0, and leaves the medium and the
// registry values it reads as they were.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/e2e/e2e_harness.h"
#include "tests/support/code_page_932.h"
#include "tests/support/message_boxes.h"
#include "tests/support/registry_scope.h"
#include "tests/support/registry_view.h"
#include "tests/support/text_conversion.h"

namespace {

constexpr char kUninstallEntry[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\AutorunHostileProduct";
constexpr char kLink[] = "\\AutorunHostile\\Product.lnk";
constexpr char kProduct[] = "{work}Product\\product.exe";
constexpr char kProductWork[] = "{work}Product Work";
constexpr DWORD kPatienceMs = 10000;
// Long enough for a launcher that does not wait to have ended.
constexpr DWORD kWaitCheckMs = 700;

// Text with its terminator, as registry string data is stored.
std::string Sz(const char* text) { return std::string(text, std::strlen(text) + 1); }

// The same bytes on every run.
std::string Noise(size_t size, unsigned seed) {
  std::mt19937 engine(seed);
  std::string noise(size, '\0');
  for (char& c : noise) c = static_cast<char>(engine() & 0xFF);
  return noise;
}

// install.dat; `program`, when given, is the value of all three program keys.
std::string Config(const std::string& program = "") {
  auto value = [&](const char* fallback) { return program.empty() ? fallback : program; };
  return std::string("[Config]\r\nUnInstKey=AutorunHostileProduct\r\nSetupPath=") +
         value("setup\\setup.exe") +
         "\r\nSetupTitle=Autorun Hostile Setup\r\nExeName=\\Product\\product.exe\r\n"
         "ProductLink=" +
         kLink + "\r\n[AppRun]\r\nRunFirst=" + value("extras\\runfirst.exe") +
         "\r\nInstalled=" + value("extras\\installed.exe") + "\r\n";
}

// A program value that names setup\setup.exe through ".\" steps, which the
// platform folds away: 502 steps make it 1,020 characters, and after the
// medium's root "R:\" a path of 1,023, the most a composed path may hold;
// whatever follows it makes the path too long.
std::string PaddedSetup() {
  std::string value;
  for (int step = 0; step < 502; ++step) value += ".\\";
  return value + "setup\\\\setup.exe";
}

// A path in UTF-16, with the long-path prefix, where no double-byte
// character's second byte passes for a backslash.
std::wstring Wide(const std::string& path) {
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()))));
  if (!wide.empty()) wide.pop_back();
  return L"\\\\?\\" + wide;
}

// Files and folders a case makes, removed in reverse order.
class Litter : Scope {
 public:
  ~Litter() {
    for (auto path = made_.rbegin(); path != made_.rend(); ++path) {
      if (!DeleteFileW(path->c_str())) RemoveDirectoryW(path->c_str());
    }
  }
  // Split in UTF-16, where the second byte of a double-byte character
  // cannot pass for a backslash.
  bool Folder(const std::string& path) {
    const std::wstring wide = Wide(path);
    for (size_t at = wide.find(L'\\', 7);; at = wide.find(L'\\', at + 1)) {
      const std::wstring level = wide.substr(0, at);
      if (CreateDirectoryW(level.c_str(), nullptr)) made_.push_back(level);
      if (at == std::wstring::npos) break;
    }
    return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool File(const std::string& path, const std::string& bytes) {
    made_.push_back(Wide(path));
    const HANDLE file = CreateFileW(made_.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return ok;
  }
  bool Copy(const std::string& from, const std::string& to) {
    made_.push_back(Wide(to));
    return CopyFileW(Wide(from).c_str(), made_.back().c_str(), FALSE) != FALSE;
  }

 private:
  std::vector<std::wstring> made_;
};

// Wine's crash dialog would wait for a user that never comes: crashes, of
// the crasher or of the launcher, end at once with an exit code instead.
class NoCrashDialog : public testing::Environment {
  void SetUp() override {
    const std::string no(4, '\0');
    value_.emplace(HKEY_CURRENT_USER, "Software\\Wine\\WineDbg", "ShowCrashDialog");
    value_->Set(REG_DWORD, &no);
  }
  void TearDown() override { value_.reset(); }
  std::optional<RegistryValueScope> value_;
};
testing::Environment* const kNoCrashDialog = testing::AddGlobalTestEnvironment(new NoCrashDialog);

// The machine and medium of one case, taken away again in reverse order.
struct Stage {
  ~Stage() {
    while (!held.empty()) held.pop_back();
  }
  template <typename T, typename... Args>
  T& Add(Args&&... args) {
    auto scope = std::make_shared<T>(std::forward<Args>(args)...);
    held.push_back(scope);
    return *scope;
  }
  void Require(bool ok, const char* what) {
    if (!ok) problems += std::string(what) + "; ";
  }
  // A registry value of any type in the view the launcher sees, put back afterwards.
  void Value(HKEY root, const char* subkey, const char* name, DWORD type, const std::string& data,
             const char* what) {
    Require(Add<RegistryValueScope>(root, subkey, name).Set(type, &data), what);
  }
  void Install(DWORD type = REG_SZ, const std::string& data = Sz("C:\\uninstall.exe")) {
    Value(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString", type, data, "uninstall entry");
  }
  void Link(const std::string& target) {
    Require(Add<Shortcut>(CSIDL_COMMON_PROGRAMS, kLink, WideFrom(target, CP_ACP),
                          WideFrom(Expand(kProductWork), CP_ACP))
                .Ok(),
            "shortcut");
  }

  std::optional<std::string> config = Config();  // install.dat at the medium's root
  std::string cwd = TheLayout().medium;          // the launcher's current directory
  bool codePage932 = false;                      // the case needs it
  DWORD storedType = REG_SZ;                     // the user's stored CLASSPATH
  std::string stored = Sz("B;");
  Litter litter;
  std::vector<std::shared_ptr<void>> held;
  std::string problems;
};

// "{cwd}" in a text is the launcher's current directory.
struct Outcome {
  const char* caption = nullptr;  // the one box shown
  const char* text = nullptr;
  const char* program = nullptr;  // the one program started
  bool waits = false;
  const char* cwd = "{cwd}";        // the program's working directory
  const char* classPath = nullptr;  // the program's CLASSPATH, when checked
};
constexpr Outcome kSilent{};
constexpr Outcome Box(const char* caption, const char* text) { return {caption, text}; }
constexpr Outcome Starts(const char* program, bool waits) {
  return {nullptr, nullptr, program, waits};
}
constexpr Outcome StartsProduct(const char* classPath) {
  return {nullptr, nullptr, kProduct, true, kProductWork, classPath};
}

struct Case {
  const char* name;
  void (*build)(Stage&);
  const char* tail;
  Outcome outcome;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

constexpr char kSetup[] = "{medium}setup\\setup.exe";
constexpr bool kWaits = true;
constexpr bool kNoWait = false;

// In code page 932 "\x83\x5C" is one character of two 8-bit characters, the
// second a backslash: the current directory is long for the launcher and
// short for the platform. (Wine cannot start a process in a directory of 260
// UTF-16 characters or more: the image path it passes comes out garbled.)
void LongCurrentDirectory(Stage& s, size_t length) {
  s.codePage932 = true;
  std::string folder;  // 120 8-bit characters; Linux holds its 180 bytes of UTF-8 in a name
  for (int n = 0; n < 60; ++n) folder += "\x83\x5C";
  s.cwd = TheLayout().medium + "hostile-cwd\\" + folder + "\\" + folder + "\\\x83\x5C" +
          std::string(length - 259, 'd');
  s.Require(s.litter.Folder(s.cwd) && s.litter.File(s.cwd + "\\install.dat", Config()),
            "current directory");
}

void Locked(Stage& s) {
  const std::string path = TheLayout().medium + "setup\\locked.exe";
  s.Require(s.litter.Copy(TheLayout().bin + "recorder.exe", path), "locked copy");
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  s.Require(file != INVALID_HANDLE_VALUE, "lock");
  if (file != INVALID_HANDLE_VALUE) s.held.emplace_back(file, CloseHandle);
  s.config = Config("setup\\locked.exe");
}

void TextFile(Stage& s) {
  s.Require(s.litter.File(TheLayout().medium + "readme.txt", "Read me first.\r\n"), "text file");
  s.config = Config("readme.txt");
}

void InstalledWithLink(Stage& s) {
  s.Install();
  s.Link(Expand(kProduct));
}

const Case kCases[] = {
    // install.dat
    {"noise", [](Stage& s) { s.config = Noise(65536, 7); }, "", kSilent},
    {"noise_then_config", [](Stage& s) { s.config = Noise(65536, 7) + "\r\n" + Config(); }, "",
     Starts(kSetup, kWaits)},
    {"ten_megabytes",
     [](Stage& s) {
       std::string filler = "[Filler]\r\n";
       for (int i = 0; filler.size() < (10u << 20); ++i) {
         filler += "key" + std::to_string(i) + "=" + std::string(64, 'v') + "\r\n";
       }
       s.config = filler + Config();
     },
     "", Starts(kSetup, kWaits)},
    {"nul_bytes", [](Stage& s) { s.config = std::string(65536, '\0'); }, "", kSilent},
    {"line_of_100000_characters",
     [](Stage& s) { s.config = "[Junk]\r\nx=" + std::string(100000, 'x') + "\r\n" + Config(); }, "",
     Starts(kSetup, kWaits)},
    // The reader cuts the value to 1,023 characters, so the composed path is
    // longer than 1,023: nothing may start. A launcher that cut the path would
    // start setup.exe where the platform can start a path that long (Wine
    // cannot: its process creation garbles an image path of 260 or more).
    {"setup_path_of_100000_characters",
     [](Stage& s) { s.config = Config(PaddedSetup() + std::string(100000 - 1020, 'x')); }, "",
     kSilent},
    {"install_dat_is_a_folder",
     [](Stage& s) {
       s.Require(s.litter.Folder(TheLayout().medium + "install.dat"), "folder");
       s.config.reset();
     },
     "", Box("WARNING", "{cwd}\\install.dat")},
    // Registry values of the wrong type.
    {"uninstall_string_as_number", [](Stage& s) { s.Install(REG_DWORD, std::string(4, '\1')); },
     "-a", Starts("{medium}extras\\installed.exe", kNoWait)},
    {"uninstall_string_longer_than_read",
     [](Stage& s) { s.Install(REG_SZ, Sz(std::string(5000, 'u').c_str())); }, "-a",
     Starts("{medium}extras\\installed.exe", kNoWait)},
    {"classpath_binary_unterminated",
     [](Stage& s) {
       InstalledWithLink(s);
       s.storedType = REG_BINARY;
       s.stored = "B;";
     },
     "", StartsProduct("A;B;")},
    {"classpath_expand_sz_kept_as_stored",
     [](Stage& s) {
       InstalledWithLink(s);
       s.Add<EnvironmentScope>("HOSTILE_PART", "expanded");
       s.storedType = REG_EXPAND_SZ;
       s.stored = Sz("%HOSTILE_PART%;");
     },
     "", StartsProduct("A;%HOSTILE_PART%;")},
    // Shortcuts.
    {"shortcut_of_random_bytes",
     [](Stage& s) {
       s.Install();
       char folder[MAX_PATH] = {};
       SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COMMON_PROGRAMS, FALSE);
       s.Require(s.litter.Folder(folder + std::string("\\AutorunHostile")) &&
                     s.litter.File(folder + std::string(kLink), Noise(4096, 11)),
                 "shortcut file");
     },
     "", kSilent},
    {"shortcut_target_deleted",
     [](Stage& s) {
       s.Install();
       const std::string gone = Expand("{work}Gone\\gone.exe");
       s.Require(s.litter.Folder(Expand("{work}Gone")) && s.litter.File(gone, "MZ"), "target");
       s.Link(gone);
       s.Require(DeleteFileA(gone.c_str()) != FALSE, "target deleted");
     },
     "", kSilent},
    // Program values that cannot be started.
    {"setup_path_names_a_folder", [](Stage& s) { s.config = Config("setup"); }, "", kSilent},
    {"installed_program_names_a_folder",
     [](Stage& s) {
       s.Install();
       s.config = Config("extras");
     },
     "-a", kSilent},
    {"setup_path_names_a_text_file", TextFile, "", kSilent},
    {"run_first_names_a_text_file", TextFile, "-a", kSilent},
    {"setup_path_names_a_locked_file", Locked, "", kSilent},
    {"run_first_names_a_locked_file", Locked, "-a", kSilent},
    {"setup_crashes",
     [](Stage& s) {
       s.Require(s.litter.Copy(TheLayout().bin + "crasher.exe",
                               TheLayout().medium + "setup\\crasher.exe"),
                 "crasher");
       s.config = Config("setup\\crasher.exe");
     },
     "", Starts("{medium}setup\\crasher.exe", kWaits)},
};

// The current directory's limit, 259 8-bit characters.
const Case kDoubleByte[] = {
    {"current_directory_of_259_characters", [](Stage& s) { LongCurrentDirectory(s, 259); }, "",
     Starts(kSetup, kWaits)},
    {"current_directory_of_260_characters", [](Stage& s) { LongCurrentDirectory(s, 260); }, "",
     kSilent},
};

std::wstring HashOf(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return L"unreadable";
  unsigned long long hash = 14695981039346656037ull;  // FNV-1a
  std::vector<unsigned char> chunk(1 << 16);
  DWORD got = 0;
  while (ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) && got) {
    for (DWORD i = 0; i < got; ++i) hash = (hash ^ chunk[i]) * 1099511628211ull;
  }
  CloseHandle(file);
  return std::to_wstring(hash);
}

void ListFiles(const std::wstring& folder, std::wstring& out) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring path = folder + found.cFileName;
    if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0) {
      continue;
    }
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out += path + L"\\\n";
      ListFiles(path + L"\\", out);
    } else {
      out += path + L" " + std::to_wstring(found.nFileSizeLow) + L" " + HashOf(path) + L"\n";
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void ListValues(HKEY root, const std::string& subkey, std::wstring& out) {
  out += std::wstring(subkey.begin(), subkey.end()) + L":\n";
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ | kLauncherRegistryView, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  std::vector<wchar_t> name(16384);
  std::vector<unsigned char> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS) {
      break;
    }
    out += name.data() + (L" type " + std::to_wstring(type) + L":");
    for (DWORD at = 0; at < size; ++at) out += L" " + std::to_wstring(data[at]);
    out += L"\n";
  }
  RegCloseKey(key);
}

// The medium (names, sizes, contents) and the registry values the launcher reads.
std::wstring Snapshot() {
  std::wstring out;
  ListFiles(Wide(TheLayout().medium), out);
  ListValues(HKEY_LOCAL_MACHINE, kUninstallEntry, out);
  ListValues(HKEY_CURRENT_USER, "Environment", out);
  return out;
}

std::string Fill(std::string text, const Stage& stage) {
  if (text.find("{cwd}") == 0) text.replace(0, 5, stage.cwd);
  return Expand(text);
}

void ExpectOutcome(const Outcome& expected, const Stage& stage, const StartedProcess& launcher,
                   Hold& hold) {
  if (expected.caption != nullptr) {
    SeenMessageBox seen;
    ASSERT_TRUE(DismissNextMessageBox(launcher.Id(), kPatienceMs, seen)) << "no box showed";
    EXPECT_EQ(seen.caption, expected.caption);
    EXPECT_EQ(seen.text, Fill(expected.text, stage));
  }
  if (expected.program != nullptr) {
    const auto record = WaitForRecord(Expand(expected.program), kPatienceMs);
    ASSERT_TRUE(record) << expected.program << " did not start; " << PendingBox(launcher);
    // The recorder writes UTF-8; the expectations are in the ANSI code page.
    EXPECT_EQ(record->at("cwd"), Utf8FromAnsi(Fill(expected.cwd, stage)));
    if (expected.classPath != nullptr) {
      EXPECT_EQ(record->at("classpath"), expected.classPath);
    }
    if (expected.waits) {
      EXPECT_FALSE(launcher.HasEnded(kWaitCheckMs)) << "the launcher did not wait";
    } else {
      EXPECT_TRUE(launcher.HasEnded(kPatienceMs)) << "the launcher waited";
    }
  }
  hold.Release();
  ASSERT_TRUE(launcher.HasEnded(kPatienceMs)) << "the launcher hangs; " << PendingBox(launcher);
  EXPECT_EQ(launcher.ExitCode(), 0u);
  // A program started without a wait may still be on its way to its record.
  if (expected.program == nullptr) Sleep(200);
  EXPECT_EQ(ListRecords().size(), expected.program != nullptr ? 1u : 0u) << "programs started";
}

class HostileInput : public testing::TestWithParam<Case> {};

TEST_P(HostileInput, LauncherKeepsToItsRules) {
  const Case& c = GetParam();
  const Layout& layout = TheLayout();
  ASSERT_EQ(layout.error, "");
  ClearRecords();
  DeleteFileA((layout.medium + "install.dat").c_str());
  EnvironmentScope classPath("CLASSPATH", "A;");
  Stage stage;
  c.build(stage);
  if (stage.codePage932) {
    RequireCodePage932("hostile_cp932");
    if (IsSkipped() || HasFatalFailure()) return;
  }
  if (stage.config) {
    stage.Require(stage.litter.File(layout.medium + "install.dat", *stage.config), "install.dat");
  }
  stage.Value(HKEY_CURRENT_USER, "Environment", "CLASSPATH", stage.storedType, stage.stored,
              "stored CLASSPATH");
  ASSERT_EQ(stage.problems, "") << "the machine state could not be built";

  const std::wstring before = Snapshot();
  Hold hold;  // released before the stage goes, so no program keeps a file of it
  const StartedProcess launcher(layout.medium + "autorun.exe", c.tail, stage.cwd);
  ASSERT_TRUE(launcher.Started());
  ExpectOutcome(c.outcome, stage, launcher, hold);
  EXPECT_EQ(Snapshot(), before) << "the medium or the registry changed";
}

std::string CaseName(const testing::TestParamInfo<Case>& param) { return param.param.name; }

INSTANTIATE_TEST_SUITE_P(Cases, HostileInput, testing::ValuesIn(kCases), CaseName);
INSTANTIATE_TEST_SUITE_P(DoubleByte, HostileInput, testing::ValuesIn(kDoubleByte), CaseName);

}  // namespace
