// install.dat as the platform's initialization-file reader sees it, and the
// launcher's shared-read hold on it.
#include "probes/config_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/end_on_crash.h"
#include "tests/support/scratch_folder.h"

namespace {

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST(ReadConfigValue, ReturnsValuesAsTheReaderGivesThem) {
  ScratchFolder medium;
  const std::string path = medium.File("install.dat");
  const std::string longValue(1500, 'v');
  WriteFileText(path,
                "[Config]\r\nUnInstKey=Demo Product\r\nSetupPath=setup\\setup.exe\r\n"
                "Long=" +
                    longValue + "\r\n[AppRun]\r\nRunFirst=tools\\run.exe\r\n");
  const struct {
    const char* section;
    const char* key;
    std::string expected;
  } rows[] = {
      {"Config", "UnInstKey", "Demo Product"},
      {"Config", "SetupPath", "setup\\setup.exe"},
      {"AppRun", "RunFirst", "tools\\run.exe"},
      {"Config", "ProductLink", ""},  // missing key
      {"Missing", "UnInstKey", ""},   // missing section
      {"AppRun", "UnInstKey", ""},    // key of another section
      {"Config", "Long", longValue.substr(0, 1023)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.section) + "/" + row.key);
    ValueText value;
    value.Assign("left over from an earlier read");
    ReadConfigValue(row.section, row.key, path.c_str(), value);
    EXPECT_EQ(std::string(value.c_str()), row.expected);
  }
  ValueText value;
  value.Assign("left over");
  ReadConfigValue("Config", "UnInstKey", medium.File("missing.dat").c_str(), value);
  EXPECT_EQ(std::string(value.c_str()), "");
}

TEST(OpenConfigFile, ValidOnlyForAnExistingFile) {
  ScratchFolder medium;
  WriteFileText(medium.File("install.dat"), "[Config]\r\n");
  ScratchFolder other;
  CreateDirectoryA(other.File("install.dat").c_str(), nullptr);
  const struct {
    std::string path;
    bool valid;
  } rows[] = {
      {medium.File("install.dat"), true},
      {medium.File("missing.dat"), false},
      {other.File("install.dat"), false},  // a folder of that name
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(OpenConfigFile(row.path.c_str()).IsValid(), row.valid);
  }
}

TEST(OpenConfigFile, OthersMayReadButNotWriteWhileItIsHeld) {
  ScratchFolder medium;
  const std::string path = medium.File("install.dat");
  WriteFileText(path, "[Config]\r\nUnInstKey=Held\r\n");
  const UniqueFile held = OpenConfigFile(path.c_str());
  ASSERT_TRUE(held.IsValid());

  const UniqueFile reader(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  EXPECT_TRUE(reader.IsValid());
  const UniqueFile writer(CreateFileA(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  EXPECT_FALSE(writer.IsValid());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

  ValueText value;  // the launcher reads its values while holding the file
  ReadConfigValue("Config", "UnInstKey", path.c_str(), value);
  EXPECT_EQ(std::string(value.c_str()), "Held");
}
