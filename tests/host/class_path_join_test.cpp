// The class-path join: when CLASSPATH stays as it is and what it becomes.
#include "start/class_path_join.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct JoinCase {
  std::wstring current;
  std::wstring stored;
  bool changed;
  std::wstring joined;
};

const JoinCase kJoinCases[] = {
    {L"a.jar;b.jar;", L"b.jar;", false, L""},
    {L"a.jar", L"", false, L""},
    {L"", L"", false, L""},
    {L"", L"c.jar", true, L"c.jar"},
    {L"a.jar;", L"c.jar", true, L"a.jar;c.jar"},
    {L"b.jar", L"a.jar;b.jar", true, L"b.jara.jar;b.jar"},
    {L"C:\\LIB", L"c:\\lib", true, L"C:\\LIBc:\\lib"},
    // Entries outside any one code page: Polish, then Japanese.
    {L"C:\\\u0141\u00F3d\u017A\\own.jar;", L"C:\\\u30E6\u30FC\u30B6\\stored.jar", true,
     L"C:\\\u0141\u00F3d\u017A\\own.jar;C:\\\u30E6\u30FC\u30B6\\stored.jar"},
    {L"C:\\\u0141\u00F3d\u017A\\a.jar;", L"\u0141\u00F3d\u017A\\a.jar;", false, L""},
    {std::wstring(32000, L'a'), std::wstring(766, L'b'), true,
     std::wstring(32000, L'a') + std::wstring(766, L'b')},
    {std::wstring(32000, L'a'), std::wstring(767, L'b'), false, L""},
};

TEST(JoinClassPathTest, JoinsOnlyWhatIsMissingAndFits) {
  for (const JoinCase& c : kJoinCases) {
    SCOPED_TRACE(testing::Message()
                 << c.current.size() << " + " << c.stored.size() << " characters");
    const auto joined = std::make_unique<EnvironmentText>();
    EXPECT_EQ(c.changed, JoinClassPath(c.current.c_str(), c.stored.c_str(), *joined));
    if (c.changed) {
      EXPECT_EQ(c.joined, joined->c_str());
    }
  }
}

}  // namespace
