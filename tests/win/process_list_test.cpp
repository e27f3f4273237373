// The process list against enumerations of every size around its first
// capacity, so that a busy machine cannot hide the running product.
#include "probes/process_list.h"

#include <gtest/gtest.h>

namespace {

// What the stand-in enumeration reports: this many processes, identified
// 1, 2, 3, ...; it fails from call number `failFromCall` on (0: never).
DWORD runningProcesses = 0;
int failFromCall = 0;
int calls = 0;

BOOL WINAPI EnumerateStandIn(DWORD* ids, DWORD bytes, DWORD* bytesReturned) {
  ++calls;
  if (failFromCall != 0 && calls >= failFromCall) return FALSE;
  const DWORD room = bytes / sizeof(DWORD);
  const DWORD listed = runningProcesses < room ? runningProcesses : room;
  for (DWORD i = 0; i < listed; ++i) ids[i] = i + 1;
  *bytesReturned = listed * sizeof(DWORD);
  return TRUE;
}

struct Row {
  DWORD running;
  int failFrom;
  DWORD expectedCount;
  int expectedCalls;
};

TEST(ProcessList, ListsEveryProcessGrowingWhileTheEnumerationFillsIt) {
  // clang-format off
  const Row rows[] = {
      {0, 0, 0, 1},
      {5, 0, 5, 1},
      {1023, 0, 1023, 1},
      {1024, 0, 1024, 2},  // a full list is asked again
      {1025, 0, 1025, 2},
      {5000, 0, 5000, 4},
      {7, 1, 0, 1},        // the first enumeration fails: empty
      {3000, 2, 1024, 2},  // growing fails: the list so far is kept
      {3000, 3, 2048, 3},
  };
  // clang-format on
  for (const Row& row : rows) {
    runningProcesses = row.running;
    failFromCall = row.failFrom;
    calls = 0;
    ProcessList list;
    list.Enumerate(EnumerateStandIn);
    EXPECT_EQ(list.Count(), row.expectedCount) << row.running << " running";
    EXPECT_EQ(calls, row.expectedCalls) << row.running << " running";
    for (DWORD i = 0; i < list.Count(); ++i) ASSERT_EQ(list[i], i + 1);
  }
}

}  // namespace
