// The command-line tail: where the program's own name ends and the
// arguments begin, for quoted, unquoted and double-byte names.
#include "launcher/command_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

struct TailCase {
  const char* commandLine;
  LeadBytePredicate isLeadByte;
  const char* tail;
};

const TailCase kTailCases[] = {
    {"", nullptr, ""},
    {"autorun.exe", nullptr, ""},
    {"autorun.exe -a", nullptr, "-a"},
    {"\"D:\\My Disc\\autorun.exe\" -a /b", nullptr, "-a /b"},
    {"\"D:\\autorun.exe\"-a", nullptr, "-a"},
    {"\"D:\\My Disc\\autorun.exe -a", nullptr, ""},  // no closing quote
    {"\"autorun.exe\"", nullptr, ""},
    {"autorun.exe \t\x01\x1f  x y", nullptr, "x y"},
    {"D:\\\xC4\xE9\\autorun.exe -a", nullptr, "-a"},
    {"D:\\Program Files\\my-app\\autorun.exe", nullptr, "Files\\my-app\\autorun.exe"},
    // 0x83 0x22 is one double-byte character; its second byte closes nothing.
    {"\"D:\\\x83\x22\\autorun.exe\" -a", ShiftJisLead, "-a"},
    {"\"D:\\\x83\x22\\autorun.exe\" -a", nullptr, "\\autorun.exe\" -a"},
    {"\"D:\\\x83", ShiftJisLead, ""},
};

TEST(CommandLineTailTest, SkipsTheProgramName) {
  for (const TailCase& c : kTailCases) {
    SCOPED_TRACE(c.commandLine);
    // An area of exact size, so that a scan past the end is caught.
    const std::vector<char> line(c.commandLine, c.commandLine + std::strlen(c.commandLine) + 1);
    const char* const tail = CommandLineTail(line.data(), c.isLeadByte);
    ASSERT_TRUE(tail >= line.data() && tail < line.data() + line.size());
    EXPECT_EQ(std::string(c.tail), tail);
  }
}

}  // namespace
