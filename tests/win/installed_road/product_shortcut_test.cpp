// The product's shortcut found below the all-users Start-menu Programs folder
// and resolved through the shell's link object, with real shortcut files made
// by that same object in folders of the test's own.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "probes/product_shortcut.h"
#include "tests/support/component_apartment.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/shortcut_file.h"
#include "tests/support/sibling_program.h"
#include "tests/support/text_conversion.h"
#include "tests/support/unique_name.h"

namespace {

std::string SpecialFolder(int folderId) {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, folderId, TRUE);
  return path;
}

class ProductShortcut : public testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }

  void SetUp() override {
    std::filesystem::create_directories(target_.substr(0, target_.find_last_of('\\')));
    std::filesystem::create_directories(workDir_);
    ASSERT_TRUE(CopyFileA(SiblingProgram("recorder.exe").c_str(), target_.c_str(), FALSE));
    ASSERT_TRUE(SaveShortcut(common_.File("Zeta App.lnk"), target_, workDir_.c_str()));
    ASSERT_TRUE(SaveShortcut(common_.File("No Dir.lnk"), target_, nullptr));
    ASSERT_TRUE(SaveShortcut(user_.File("User Only.lnk"), target_, workDir_.c_str()));
    // Not a shortcut at all: bytes from a fixed-seed generator.
    std::ofstream garbage(common_.File("Garbage.lnk"), std::ios::binary);
    unsigned state = 12345;
    for (int i = 0; i < 600; ++i) {
      state = state * 1103515245u + 12345u;
      garbage.put(static_cast<char>(state >> 16));
    }
  }

  const std::string folderName_ = UniqueName("AutorunRoad");
  const ScratchFolder common_{SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\" + folderName_};
  const ScratchFolder user_{SpecialFolder(CSIDL_PROGRAMS) + "\\" + folderName_};
  const ScratchFolder scratch_;
  const std::string target_ = scratch_.File("Zeta Target\\zeta app.exe");
  const std::string workDir_ = scratch_.File("Zeta Work");
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
    WidePlatformPath target;
    WidePlatformPath workingDirectory;
    bool resolved = false;
    bool apartmentHeld = true;
    // On a thread of its own, in no apartment before: the resolution must
    // leave none behind, since the launcher then waits for the product.
    std::thread([&] {
      resolved = ResolveShortcut(common_.File(c.link).c_str(), target, workingDirectory);
      apartmentHeld = InComponentApartment();
    }).join();
    EXPECT_EQ(resolved, c.resolved) << c.link;
    EXPECT_FALSE(apartmentHeld) << c.link;
    if (!c.resolved) continue;
    EXPECT_EQ(target.c_str(), WideFrom(c.target, CP_ACP)) << c.link;
    EXPECT_EQ(workingDirectory.c_str(), WideFrom(c.workingDirectory, CP_ACP)) << c.link;
  }
}

}  // namespace
