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
#include "probes/untranslated_link.h"
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
    const std::wstring stored = WideFrom(common_.File("Stored.lnk"), CP_ACP);
    ASSERT_TRUE(SaveStoredTargetShortcut(stored, target_, WideFrom(workDir_, CP_ACP),
                                         kKnownFolderBlock | kEnvironmentBlock, L"%TMP%\\x.exe"));
    // The same link followed by padding past 64 KiB, which the shell would
    // still read.
    std::filesystem::copy_file(common_.File("Stored.lnk"), common_.File("Padded.lnk"));
    std::ofstream(common_.File("Padded.lnk"), std::ios::binary | std::ios::app)
        << std::string(64 * 1024, '\0');
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
    PlatformPath programsFolder;
    EXPECT_EQ(FindProductShortcut(c.productLink.c_str(), shortcutPath, programsFolder), c.found)
        << c.productLink;
    EXPECT_EQ(programsFolder.c_str(), folder);
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
      ShortcutFacts facts{};
      resolved = ResolveShortcut(common_.File(c.link).c_str(), target, workingDirectory, facts);
      apartmentHeld = InComponentApartment();
    }).join();
    EXPECT_EQ(resolved, c.resolved) << c.link;
    EXPECT_FALSE(apartmentHeld) << c.link;
    if (!c.resolved) continue;
    EXPECT_EQ(target.c_str(), WideFrom(c.target, CP_ACP)) << c.link;
    EXPECT_EQ(workingDirectory.c_str(), WideFrom(c.workingDirectory, CP_ACP)) << c.link;
  }
}

TEST_F(ProductShortcut, LoadsALinkFromItsOwnBytesOnlyWhenItIsOne) {
  struct Case {
    const char* link;
    bool loaded;
  };
  const Case cases[] = {
      {"Stored.lnk", true},    // a stored target, a known-folder and an environment block
      {"Zeta App.lnk", true},  // as the shell's link object saves one
      {"Padded.lnk", false},   // over 64 KiB: the caller loads the file itself
      {"Garbage.lnk", false}, {"Missing.lnk", false},
  };
  for (const Case& c : cases) {
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    const std::wstring path = WideFrom(common_.File(c.link), CP_ACP);
    EXPECT_EQ(LoadUntranslated(link, path.c_str()), c.loaded) << c.link;
    wchar_t target[MAX_PATH] = {};
    wchar_t directory[MAX_PATH] = {};
    link->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY);
    link->GetWorkingDirectory(directory, MAX_PATH);
    link->Release();
    if (!c.loaded) continue;
    EXPECT_EQ(target, WideFrom(target_, CP_ACP)) << c.link;
    EXPECT_EQ(directory, WideFrom(workDir_, CP_ACP)) << c.link;
  }
}

}  // namespace
