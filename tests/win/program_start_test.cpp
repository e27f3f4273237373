// The class-path merge with the user's real stored CLASSPATH, and programs
// started, recorded and waited for: directly, and (elevated_start_tests)
// through the shell, as when the program needs elevation.
#include "start/program_start.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "tests/support/component_apartment.h"
#include "tests/support/end_on_crash.h"
#include "tests/support/environment_scope.h"
#include "tests/support/recorder_record.h"
#include "tests/support/registry_scope.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/sibling_program.h"
#include "tests/support/text_conversion.h"
#include "tests/support/unique_name.h"

namespace {

// Puts the user's stored CLASSPATH and the process's variable back afterwards.
class ClassPathTest : public testing::Test {
 protected:
  RegistryValueScope stored_{HKEY_CURRENT_USER, "Environment", "CLASSPATH"};
  EnvironmentScope variable_{"CLASSPATH"};
};

std::wstring Wide(const std::string& path) { return WideFrom(path, CP_ACP); }

// The process's open handles, counted by trying each value in turn: Wine
// keeps no count of them.
int OpenHandles() {
  int count = 0;
  for (std::uintptr_t value = 4; value < 0x4000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

}  // namespace

TEST_F(ClassPathTest, MergesTheStoredClassPathIntoTheVariable) {
  const std::wstring longVariable(30000, L'c');
  const std::wstring fullStored(32766, L'p');
  const struct {
    const char* name;
    DWORD type;
    bool stored;
    std::wstring storedText;  // for a binary value, its ASCII bytes, unterminated
    const wchar_t* variable;  // null: unset
    std::wstring expected;
  } rows[] = {
      {"unset variable", REG_SZ, true, L"C:\\lib\\a.jar", nullptr, L"C:\\lib\\a.jar"},
      {"already present", REG_SZ, true, L"b.jar", L"x;b.jar;y", L"x;b.jar;y"},
      {"joined without separator", REG_SZ, true, L"b.jar", L"a.jar;", L"a.jar;b.jar"},
      {"empty stored value", REG_SZ, true, L"", nullptr, L"(unset)"},
      {"no stored value, unset", REG_SZ, false, L"", nullptr, L"(unset)"},
      {"no stored value, set", REG_SZ, false, L"", L"a.jar", L"a.jar"},
      {"not expanded", REG_EXPAND_SZ, true, L"%JAVA%\\c.jar", nullptr, L"%JAVA%\\c.jar"},
      {"unterminated data", REG_BINARY, true, L"bin.jar", L"a;", L"a;bin.jar"},
      // Entries outside the ANSI code page, kept exactly.
      {"polish entries", REG_SZ, true, L"C:\\U\u017Cytkownik\\b.jar",
       L"C:\\\u0141\u00F3d\u017A\\a.jar;",
       L"C:\\\u0141\u00F3d\u017A\\a.jar;C:\\U\u017Cytkownik\\b.jar"},
      {"japanese entries, not expanded", REG_EXPAND_SZ, true, L"%JAVA%\\\u30E6\u30FC\u30B6\\c.jar",
       L"C:\\\u65E5\u672C\\a.jar;", L"C:\\\u65E5\u672C\\a.jar;%JAVA%\\\u30E6\u30FC\u30B6\\c.jar"},
      // A value and its terminator fit 32,767 characters.
      {"stored value fills a variable", REG_SZ, true, fullStored, nullptr, fullStored},
      {"joined fills a variable", REG_SZ, true, std::wstring(2766, L's'), longVariable.c_str(),
       longVariable + std::wstring(2766, L's')},
      {"joined too long", REG_SZ, true, std::wstring(2767, L's'), longVariable.c_str(),
       longVariable},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (!row.stored) {
      stored_.Set(row.type, nullptr);
    } else if (row.type == REG_BINARY) {
      const std::string bytes(row.storedText.begin(), row.storedText.end());
      stored_.Set(row.type, &bytes);
    } else {
      stored_.SetWide(row.type, row.storedText);
    }
    variable_.SetWide(row.variable);
    MergeClassPath();
    const std::wstring after = WideEnvironmentValue(L"CLASSPATH").value_or(L"(unset)");
    EXPECT_EQ(after.size(), row.expected.size());
    EXPECT_TRUE(after == row.expected) << Utf8From(after.substr(0, 80));
  }
}

namespace {

// A recorder program copied onto a medium of the test's own, started from
// there in a working directory of its own.
class ProgramStartTest : public ClassPathTest {
 protected:
  void SetUp() override {
    record_.Set(medium_.Path().c_str());
    CreateDirectoryA(workingDirectory_.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(SiblingProgram("recorder.exe").c_str(), program_.c_str(), FALSE));
  }
  std::string RecordFile() const { return RecordFileIn(medium_.Path(), program_); }

  ScratchFolder medium_;
  EnvironmentScope record_{"AUTORUN_TEST_RECORD_DIR"};
  std::string program_ = medium_.File("product.exe");
  std::string workingDirectory_ = medium_.File("work");
};

}  // namespace

TEST_F(ProgramStartTest, StartsWithoutArgumentsInTheWorkingDirectory) {
  stored_.SetWide(REG_SZ, L"s.jar");
  const struct {
    bool merge;
    const char* variable;
    const char* childClassPath;
  } rows[] = {{false, nullptr, "(unset)"}, {true, nullptr, "s.jar"}, {true, "a;", "a;s.jar"}};
  int handlesAfterFirst = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.childClassPath);
    DeleteFileA(RecordFile().c_str());
    variable_.Set(row.variable);
    const ProcessHandle started =
        StartProgram(Wide(workingDirectory_).c_str(), Wide(program_).c_str(), row.merge);
    ASSERT_NE(started, nullptr);
    WaitForProgram(started);
    CloseHandle(started);
    // No start leaves a handle behind; the first may load what the process
    // keeps (the shell's libraries, when the start goes through the shell).
    const int handles = OpenHandles();
    if (&row == rows) handlesAfterFirst = handles;
    EXPECT_EQ(handles, handlesAfterFirst) << "a handle was left open";
    Record record = ReadRecordFile(RecordFile()).value_or(Record{});
    EXPECT_EQ(record["program"], program_);
    EXPECT_EQ(record["cwd"], workingDirectory_);
#ifndef AUTORUN_TEST_STARTS_ELEVATED
    EXPECT_EQ(record["classpath"], row.childClassPath);
#endif
    // Its path in quotes, alone: Windows passes an unquoted one when the
    // starter gives no command line, which Wine hides by quoting it itself.
    EXPECT_EQ(record["commandline"], "\"" + program_ + "\"");
    // The starter then waits, which it must not do in an apartment.
    EXPECT_FALSE(InComponentApartment());
  }
}

TEST_F(ProgramStartTest, WaitReturnsOnlyOnceTheProgramHasEnded) {
  const std::string eventName = UniqueName("AutorunTestHold_");
  HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
  EnvironmentScope holdVariable("AUTORUN_TEST_HOLD_EVENT");
  holdVariable.Set(eventName.c_str());

  const ProcessHandle started =
      StartProgram(Wide(workingDirectory_).c_str(), Wide(program_).c_str(), false);
  ASSERT_NE(started, nullptr);
  std::atomic<bool> waited{false};
  std::thread waiter([&] {
    WaitForProgram(started);
    waited = true;
  });
  EXPECT_TRUE(WaitForRecordFile(RecordFile(), 10000));  // the program runs and holds on
  Sleep(300);
  EXPECT_FALSE(waited);
  EXPECT_EQ(WaitForSingleObject(started, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  SetEvent(hold);
  waiter.join();
  EXPECT_TRUE(waited);
  EXPECT_EQ(WaitForSingleObject(started, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(started);
  CloseHandle(hold);
}

TEST_F(ProgramStartTest, FailedStartGivesNoHandle) {
  const std::wstring folder = Wide(workingDirectory_);
  EXPECT_EQ(StartProgram(folder.c_str(), Wide(medium_.File("missing.exe")).c_str(), false),
            nullptr);
  EXPECT_EQ(StartProgram(Wide(medium_.File("missing")).c_str(), Wide(program_).c_str(), false),
            nullptr);
  // A root with an empty program value, as an empty key composes it.
  EXPECT_EQ(StartProgram(folder.c_str(), Wide(medium_.Path() + "\\").c_str(), false), nullptr);
}
