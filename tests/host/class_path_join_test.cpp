// The class-path join: when CLASSPATH stays as it is and what it becomes.
#include "start/class_path_join.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct JoinCase {
  std::string current;
  std::string stored;
  bool changed;
  std::string joined;
};

const JoinCase kJoinCases[] = {
    {"a.jar;b.jar;", "b.jar;", false, ""},
    {"a.jar", "", false, ""},
    {"", "", false, ""},
    {"", "c.jar", true, "c.jar"},
    {"a.jar;", "c.jar", true, "a.jar;c.jar"},
    {"b.jar", "a.jar;b.jar", true, "b.jara.jar;b.jar"},
    {"C:\\LIB", "c:\\lib", true, "C:\\LIBc:\\lib"},
    {std::string(32000, 'a'), std::string(766, 'b'), true,
     std::string(32000, 'a') + std::string(766, 'b')},
    {std::string(32000, 'a'), std::string(767, 'b'), false, ""},
};

TEST(JoinClassPathTest, JoinsOnlyWhatIsMissingAndFits) {
  for (const JoinCase& c : kJoinCases) {
    SCOPED_TRACE(c.current.substr(0, 20) + " + " + c.stored.substr(0, 20));
    const auto joined = std::make_unique<EnvironmentText>();
    EXPECT_EQ(c.changed, JoinClassPath(c.current.c_str(), c.stored.c_str(), *joined));
    if (c.changed) {
      EXPECT_EQ(c.joined, joined->c_str());
    }
  }
}

}  // namespace
