// The names of one of a disc image's trees, held in memory once read, with
// the reader that takes a file's contents from the image.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "check/read/medium_tree.h"

// The most names and the deepest folder a tree is read to: a bigger or
// deeper one is refused (a directory that loops is both), so that no image
// keeps the checker reading for ever.
constexpr std::size_t kMaxImageNames = 100000;
constexpr std::size_t kMaxImageDepth = 128;

class ImageTree final : public MediumTree {
 public:
  using Reader = std::function<bool(const std::string& file, std::size_t limit, std::string& bytes,
                                    bool& cut)>;
  using Opener = std::function<std::unique_ptr<FileStream>(const std::string& file)>;
  using Streamer =
      std::function<void(const std::vector<std::string>& files, const FileVisitor& visit)>;

  // Adds `path` (names joined with '/') and any folder above it not yet
  // there; false when the tree would pass kMaxImageNames or kMaxImageDepth.
  bool Add(const std::string& path, EntryKind kind);
  void SetReader(Reader reader) { reader_ = std::move(reader); }
  // How the image's library opens a file, and streams many in one pass
  // (without one, each is opened in turn).
  void SetOpener(Opener opener, Streamer streamer = nullptr) {
    opener_ = std::move(opener);
    streamer_ = std::move(streamer);
  }
  // Every path, in the order added: the order of the image's records.
  const std::vector<std::string>& Paths() const { return paths_; }

  bool List(const std::string& folder, std::vector<TreeEntry>& entries) const override;
  bool ReadStart(const std::string& file, std::size_t limit, std::string& bytes,
                 bool& cut) const override;
  std::unique_ptr<FileStream> Open(const std::string& file) const override;
  void StreamFiles(const std::vector<std::string>& files, const FileVisitor& visit) const override;

 private:
  std::map<std::string, std::vector<TreeEntry>> folders_ = {{"", {}}};
  std::vector<std::string> paths_;
  Reader reader_;
  Opener opener_;
  Streamer streamer_;
};

// Why a tree past those bounds was refused.
std::string BoundsError();

// The path with empty and "." names dropped, names joined with '/'.
std::string CleanImagePath(const std::string& path);
