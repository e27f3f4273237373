// Tests that need code page 932, where one character of two 8-bit characters
// may end in a byte that reads as a backslash. Wine takes the code page from
// the locale a test program starts in; CTest starts such tests with
// LC_ALL=ja_JP.UTF-8 and LOCPATH naming the locales it generated.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/environment_scope.h"

// Without the generated ja_JP.UTF-8 locale (LOCPATH) Wine cannot make file
// names holding double-byte characters (the code page alone comes from
// LC_ALL).
inline bool JapaneseLocaleGenerated() {
  const std::string folder = EnvironmentValue("LOCPATH").value_or("");
  return !folder.empty() && GetFileAttributesA(("Z:" + folder + "/ja_JP.UTF-8/LC_CTYPE").c_str()) !=
                                INVALID_FILE_ATTRIBUTES;
}

// In a test that needs code page 932: skips it where Wine cannot name files
// in that code page, fails it where it was not started in that code page
// (`ctestName`: the CTest test that starts it so). The caller returns when
// either happened (testing::Test::IsSkipped, HasFatalFailure).
inline void RequireCodePage932(const char* ctestName) {
  if (!JapaneseLocaleGenerated()) {
    GTEST_SKIP() << "the ja_JP.UTF-8 locale could not be generated (localedef, LOCPATH), "
                    "so Wine cannot name files in code page 932";
  }
  ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8, as the " << ctestName << " test does";
}
