// The product's shortcut found below the all-users Start-menu Programs folder
// and resolved through the shell's link object, with real shortcut files made
// by that same object in folders of the test's own.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <string>

#include "probes/product_shortcut.h"
#include "tests/win/installed_road/road_test_helpers.h"

namespace {

std::string SpecialFolder(int folderId) {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, folderId, TRUE);
  return path;
}

// Saves a shortcut to `target`; without `workingDirectory` the link names none.
bool MakeShortcut(const std::string& linkPath, const std::string& target,
                  const char* workingDirectory) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->SetPath(target.c_str())) &&
      (workingDirectory == nullptr || SUCCEEDED(link->SetWorkingDirectory(workingDirectory))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
    saved = SUCCEEDED(file->Save(widePath, TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

class ProductShortcut : public testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }

  void SetUp() override {
    std::filesystem::create_directories(target_.substr(0, target_.find_last_of('\\')));
    std::filesystem::create_directories(workDir_);
    ASSERT_TRUE(CopyFileA(BuildProgram("recorder.exe").c_str(), target_.c_str(), FALSE));
    ASSERT_TRUE(MakeShortcut(common_ / "Zeta App.lnk", target_, workDir_.c_str()));
    ASSERT_TRUE(MakeShortcut(common_ / "No Dir.lnk", target_, nullptr));
    ASSERT_TRUE(MakeShortcut(user_ / "User Only.lnk", target_, workDir_.c_str()));
    // Not a shortcut at all: bytes from a fixed-seed generator.
    std::ofstream garbage(common_ / "Garbage.lnk", std::ios::binary);
    unsigned state = 12345;
    for (int i = 0; i < 600; ++i) {
      state = state * 1103515245u + 12345u;
      garbage.put(static_cast<char>(state >> 16));
    }
  }

  const std::string folderName_ = UniqueName("AutorunRoad");
  const ScratchFolder common_{SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\" + folderName_};
  const ScratchFolder user_{SpecialFolder(CSIDL_PROGRAMS) + "\\" + folderName_};
  const ScratchFolder scratch_{TempFolderPath("shortcut")};
  const std::string target_ = scratch_ / "Zeta Target\\zeta app.exe";
  const std::string workDir_ = scratch_ / "Zeta Work";
};

TEST_F(ProductShortcut, FindsOnlyTheAllUsersShortcutItsLinkNames) {
  struct Case {
    std::string productLink;
    bool found;
  };
  const Case cases[] = {
      {"\\" + folderName_ + "\\Zeta App.lnk", true},
      {folderName_ + "\\Zeta App.lnk", false},  // glued to the folder's own name
      {"\\" + folderName_ + "\\User Only.lnk", false},
      {"\\" + folderName_ + "\\" + std::string(1100, 'x') + ".lnk", false},
  };
  const std::string folder = SpecialFolder(CSIDL_COMMON_PROGRAMS);
  for (const Case& c : cases) {
    ValueText shortcutPath;
    EXPECT_EQ(FindProductShortcut(c.productLink.c_str(), shortcutPath), c.found) << c.productLink;
    if (c.found) {
      EXPECT_EQ(shortcutPath.c_str(), folder + c.productLink);
    }
    if (folder.size() + c.productLink.size() > ValueText::kCapacity) {
      EXPECT_STREQ(shortcutPath.c_str(), "") << "a cut path must not come back";
    }
  }
}

TEST_F(ProductShortcut, ResolvesTargetAndWorkingDirectory) {
  struct Case {
    const char* link;
    bool resolved;
    std::string target;
    std::string workingDirectory;
  };
  const Case cases[] = {
      {"Zeta App.lnk", true, target_, workDir_},
      // The platform answers S_OK with an empty directory for such a link.
      {"No Dir.lnk", true, target_, ""},
      {"Missing.lnk", false, "", ""},
      {"Garbage.lnk", false, "", ""},
  };
  for (const Case& c : cases) {
    PlatformPath target;
    PlatformPath workingDirectory;
    EXPECT_EQ(ResolveShortcut((common_ / c.link).c_str(), target, workingDirectory), c.resolved)
        << c.link;
    if (!c.resolved) continue;
    EXPECT_EQ(target.c_str(), c.target) << c.link;
    EXPECT_EQ(workingDirectory.c_str(), c.workingDirectory) << c.link;
  }
}

}  // namespace
