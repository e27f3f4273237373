// The guard across live processes, message boxes read back by a driver, the
// current directory and window lookup by title, on the real desktop.
#include "probes/desktop_queries.h"
#include "probes/instance_guard.h"

#include <gtest/gtest.h>

#include "tests/support/end_on_crash.h"
#include "tests/support/message_boxes.h"
#include "tests/support/patience.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/sibling_program.h"
#include "tests/support/started_process.h"
#include "tests/support/unique_name.h"

namespace {

constexpr DWORD kCreated = 10, kAlreadyExists = 11;  // guard_holder's exit codes

StartedProcess GuardHolder(const std::string& guardName, const std::string& eventName = "") {
  return StartedProcess(SiblingProgram("guard_holder.exe"),
                        eventName.empty() ? guardName : guardName + " " + eventName);
}

// True once the named semaphore exists, i.e. a holder has taken the guard.
bool WaitForGuard(const std::string& guardName) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < Patience(10000)) {
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

  StartedProcess first = GuardHolder(guardName, eventName);
  ASSERT_TRUE(first.Started());
  ASSERT_TRUE(WaitForGuard(guardName));
  EXPECT_EQ(GuardHolder(guardName).Finish(), kAlreadyExists);
  EXPECT_EQ(WaitForSingleObject(first.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

  SetEvent(release);
  EXPECT_EQ(first.Finish(), kCreated);
  EXPECT_EQ(GuardHolder(guardName).Finish(), kCreated);
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
    StartedProcess shower(SiblingProgram("message_shower.exe"),
                          "\"" + std::string(box.text) + "\" \"" + box.caption + "\"");
    ASSERT_TRUE(shower.Started());
    SeenMessageBox seen;
    EXPECT_TRUE(DismissNextMessageBox(shower.Id(), 10000, seen));
    EXPECT_EQ(seen.caption, box.caption);
    EXPECT_EQ(seen.text, box.text);
    EXPECT_EQ(shower.Finish(10000), 0u);  // returned after the OK
  }
}

TEST(GetCurrentDir, ReturnsTheProcessCurrentDirectory) {
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, saved);
  ScratchFolder folder;
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
