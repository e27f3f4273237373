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
#include "tests/support/unique_name.h"

namespace {

// Puts the user's stored CLASSPATH and the process's variable back afterwards.
class ClassPathTest : public testing::Test {
 protected:
  RegistryValueScope stored_{HKEY_CURRENT_USER, "Environment", "CLASSPATH"};
  EnvironmentScope variable_{"CLASSPATH"};
};

std::string Terminated(const std::string& text) { return text + '\0'; }

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
  const std::string longVariable(30000, 'c');
  const struct {
    const char* name;
    DWORD type;
    bool stored;
    std::string storedData;
    const char* variable;  // null: unset
    std::string expected;
  } rows[] = {
      {"unset variable", REG_SZ, true, Terminated("C:\\lib\\a.jar"), nullptr, "C:\\lib\\a.jar"},
      {"already present", REG_SZ, true, Terminated("b.jar"), "x;b.jar;y", "x;b.jar;y"},
      {"joined without separator", REG_SZ, true, Terminated("b.jar"), "a.jar;", "a.jar;b.jar"},
      {"empty stored value", REG_SZ, true, Terminated(""), nullptr, "(unset)"},
      {"no stored value, unset", REG_SZ, false, "", nullptr, "(unset)"},
      {"no stored value, set", REG_SZ, false, "", "a.jar", "a.jar"},
      {"not expanded", REG_EXPAND_SZ, true, Terminated("%JAVA%\\c.jar"), nullptr, "%JAVA%\\c.jar"},
      {"unterminated data", REG_BINARY, true, "bin.jar", "a;", "a;bin.jar"},
      // A value and its terminator fit 32,767 characters; the 8-bit setter
      // cannot take a longer one.
      {"joined fills a variable", REG_SZ, true, Terminated(std::string(2766, 's')),
       longVariable.c_str(), longVariable + std::string(2766, 's')},
      {"joined too long", REG_SZ, true, Terminated(std::string(2767, 's')), longVariable.c_str(),
       longVariable},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    stored_.Set(row.type, row.stored ? &row.storedData : nullptr);
    variable_.Set(row.variable);
    MergeClassPath();
    const std::string after = EnvironmentValue("CLASSPATH").value_or("(unset)");
    EXPECT_EQ(after.size(), row.expected.size());
    EXPECT_TRUE(after == row.expected) << after.substr(0, 80);
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
  const std::string stored = Terminated("s.jar");
  stored_.Set(REG_SZ, &stored);
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
        StartProgram(workingDirectory_.c_str(), program_.c_str(), row.merge);
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

  const ProcessHandle started = StartProgram(workingDirectory_.c_str(), program_.c_str(), false);
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
  const char* const folder = workingDirectory_.c_str();
  EXPECT_EQ(StartProgram(folder, medium_.File("missing.exe").c_str(), false), nullptr);
  EXPECT_EQ(StartProgram(medium_.File("missing").c_str(), program_.c_str(), false), nullptr);
  // A root with an empty program value, as an empty key composes it.
  EXPECT_EQ(StartProgram(folder, (medium_.Path() + "\\").c_str(), false), nullptr);
}
