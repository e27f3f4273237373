// A folder of the test's own, removed with everything in it afterwards.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>

#include "tests/support/unique_name.h"

class ScratchFolder {
 public:
  // A new folder below the temporary folder.
  ScratchFolder() : ScratchFolder(TemporaryFolder() + UniqueName("autorun_")) {}
  // The folder at `path`, emptied first, made with any parents it needs.
  explicit ScratchFolder(std::string path) : path_(std::move(path)) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  // A path inside the folder; `name` may name subfolders.
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  static std::string TemporaryFolder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder;
  }

  std::string path_;
};
