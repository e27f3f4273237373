// Path splitting: every part of typical and awkward paths, each source and
// result held in areas of exactly their size so that a stray byte is caught.
#include "launcher/split_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

struct SplitCase {
  const char* source;
  LeadBytePredicate isLeadByte;
  const char* directory;
  const char* fileName;
  const char* root;
  bool separated;  // also what selector code 3 returns, keeping the whole source
};

const SplitCase kSplitCases[] = {
    {"D:\\sub\\install.dat", nullptr, "D:\\sub", "install.dat", "D:\\", true},
    {"D:\\install.dat", nullptr, "D:", "install.dat", "D:\\", true},
    {"C:\\a\\b\\c.lnk", nullptr, "C:\\a\\b", "c.lnk", "C:\\", true},
    {"D:\\\\install.dat", nullptr, "D:\\", "install.dat", "D:\\", true},
    {"abc\\", nullptr, "abc", "", "abc\\", true},
    {"install.dat", nullptr, "install.dat", "install.dat", "install.dat", false},
    {"\\install.dat", nullptr, "\\install.dat", "\\install.dat", "\\install.dat", false},
    {"", nullptr, "", "", "", false},
    {"\\\\srv\\share\\a.txt", nullptr, "\\\\srv\\share", "a.txt", "\\", true},
    {"D:/a/b.txt", nullptr, "D:/a/b.txt", "D:/a/b.txt", "D:/a/b.txt", false},
    {"D:\\a/b.txt", nullptr, "D:", "a/b.txt", "D:\\", true},
    // 0x83 0x5C is one double-byte character, whose second byte is no separator.
    {"D:\\\x83\x5C\\x.txt", ShiftJisLead, "D:\\\x83\x5C", "x.txt", "D:\\", true},
    {"D:\\a\x83\x5C", ShiftJisLead, "D:", "a\x83\x5C", "D:\\", true},
    {"\x83\x5C.txt", ShiftJisLead, "\x83\x5C.txt", "\x83\x5C.txt", "\x83\x5C.txt", false},
    {"D:\\a\x83\x5C", nullptr, "D:\\a\x83", "", "D:\\", true},  // single-byte code page
    {"D:\\a\\b\x83", ShiftJisLead, "D:\\a", "b\x83", "D:\\", true},
};

// Runs SplitPath with the source and the result in heap areas of exact size.
std::string Split(const char* source, int part, LeadBytePredicate isLeadByte, bool& separated,
                  std::size_t resultSize = 0) {
  const std::vector<char> exactSource(source, source + std::strlen(source) + 1);
  std::vector<char> result(resultSize != 0 ? resultSize : exactSource.size(), '?');
  separated = SplitPath(exactSource.data(), static_cast<PathPart>(part), result.data(),
                        result.size(), isLeadByte);
  return result.data();
}

TEST(SplitPathTest, CutsEachPart) {
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(c.source);
    const char* const expected[] = {c.directory, c.fileName, c.root, c.source};
    for (int part = 0; part < 4; ++part) {
      SCOPED_TRACE(part);
      bool separated = !c.separated;
      EXPECT_EQ(expected[part], Split(c.source, part, c.isLeadByte, separated));
      EXPECT_EQ(c.separated, separated);
    }
  }
}

TEST(SplitPathTest, SourceOneByteLargerThanResultAreaLeavesItEmpty) {
  bool separated = true;
  EXPECT_EQ("", Split("D:\\install.dat", 2, nullptr, separated, 14));
  EXPECT_FALSE(separated);
}

}  // namespace
