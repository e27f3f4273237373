// The guard across live processes, message boxes read back by a driver, the
// current directory and window lookup by title, on the real desktop.
#include "probes/desktop_queries.h"
#include "probes/instance_guard.h"

#include <gtest/gtest.h>

#include "tests/support/message_boxes.h"
#include "tests/win/win_test_helpers.h"

using namespace wintest;

namespace {

constexpr DWORD kCreated = 10, kAlreadyExists = 11;  // guard_holder's exit codes

std::string GuardHolder(const std::string& guardName, const std::string& eventName = "") {
  std::string command = "\"" + SiblingProgram("guard_holder") + "\" " + guardName;
  return eventName.empty() ? command : command + " " + eventName;
}

// True once the named semaphore exists, i.e. a holder has taken the guard.
bool WaitForGuard(const std::string& guardName) {
  for (int tries = 0; tries < 500; ++tries) {
    if (HANDLE seen = OpenSemaphoreA(SYNCHRONIZE, FALSE, guardName.c_str())) {
      CloseHandle(seen);
      return true;
    }
    Sleep(20);
  }
  return false;
}

}  // namespace

TEST(InstanceGuard, OnlyOneLiveProcessHoldsIt) {
  const std::string guardName = UniqueName("AutorunTestGuard_");
  const std::string eventName = UniqueName("AutorunTestRelease_");
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());

  HANDLE first = StartCommand(GuardHolder(guardName, eventName));
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(WaitForGuard(guardName));
  EXPECT_EQ(FinishProcess(StartCommand(GuardHolder(guardName))), kAlreadyExists);
  EXPECT_EQ(WaitForSingleObject(first, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  SetEvent(release);
  EXPECT_EQ(FinishProcess(first), kCreated);
  EXPECT_EQ(FinishProcess(StartCommand(GuardHolder(guardName))), kCreated);
  CloseHandle(release);
}

TEST(InstanceGuard, NameTakenByAnotherKindOfObjectFails) {
  const std::string name = UniqueName("AutorunTestEvent_");
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
  UniqueHandle guard;
  EXPECT_EQ(AcquireInstanceGuard(name.c_str(), guard), GuardResult::Failed);
  EXPECT_FALSE(guard.IsValid());
  CloseHandle(event);
}

TEST(ShowMessage, DriverReadsTextAndCaptionAndDismissesTheBox) {
  const struct {
    const char* text;
    const char* caption;
  } boxes[] = {
      {"The current programm is already running.", "Autorun"},
      {"The setup is already running.", "WARNING"},
      {"Application link isn't found.", "Autorun"},
      {"D:\\medium\\install.dat", "WARNING"},
  };
  for (const auto& box : boxes) {
    SCOPED_TRACE(box.text);
    HANDLE shower = StartCommand("\"" + SiblingProgram("message_shower") + "\" \"" + box.text +
                                 "\" \"" + box.caption + "\"");
    ASSERT_NE(shower, nullptr);
    SeenMessageBox seen;
    EXPECT_TRUE(DismissNextMessageBox(GetProcessId(shower), 10000, seen));
    EXPECT_EQ(seen.caption, box.caption);
    EXPECT_EQ(seen.text, box.text);
    EXPECT_EQ(FinishProcess(shower, 10000), 0u);  // returned after the OK
  }
}

TEST(GetCurrentDir, ReturnsTheProcessCurrentDirectory) {
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, saved);
  TempFolder folder;
  for (const std::string& directory : {folder.Path(), std::string("C:\\")}) {
    ASSERT_TRUE(SetCurrentDirectoryA(directory.c_str()));
    PlatformPath current;
    EXPECT_TRUE(GetCurrentDir(current));
    EXPECT_EQ(std::string(current.c_str()), directory);
  }
  SetCurrentDirectoryA(saved);
}

TEST(IsWindowTitlePresent, FindsATopLevelWindowByItsTitle) {
  const std::string title = UniqueName("Autorun test setup ");
  HWND window = CreateWindowA("STATIC", title.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowTitlePresent(title.c_str()));
  EXPECT_FALSE(IsWindowTitlePresent(UniqueName("No such window ").c_str()));
  DestroyWindow(window);
  EXPECT_FALSE(IsWindowTitlePresent(title.c_str()));
}
