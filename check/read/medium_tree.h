// What the checks see of a medium: the names in its folders and the start of
// its files, whether the medium is a folder on this machine or the tree of a
// disc image that Windows reads.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "check/read/file_stream.h"

enum class EntryKind { File, Folder, Other };

struct TreeEntry {
  std::string name;
  EntryKind kind = EntryKind::File;
};

class MediumTree {
 public:
  virtual ~MediumTree() = default;
  // The entries of `folder`, names below the root joined with '/' ("" is the
  // root); false when it cannot be listed.
  virtual bool List(const std::string& folder, std::vector<TreeEntry>& entries) const = 0;
  // At most `limit` bytes from the start of `file`; `cut` when it holds more.
  // False when it cannot be read.
  virtual bool ReadStart(const std::string& file, std::size_t limit, std::string& bytes,
                         bool& cut) const = 0;
  // The file's bytes as a stream; null when it cannot be opened.
  virtual std::unique_ptr<FileStream> Open(const std::string& file) const = 0;
  // Each of `files` streamed once, in the order the medium reads best (a
  // disc image's ISO 9660 files in one pass over its records).
  virtual void StreamFiles(const std::vector<std::string>& files, const FileVisitor& visit) const;
};

// A folder on this machine.
class FolderTree final : public MediumTree {
 public:
  explicit FolderTree(std::filesystem::path root) : root_(std::move(root)) {}
  bool List(const std::string& folder, std::vector<TreeEntry>& entries) const override;
  bool ReadStart(const std::string& file, std::size_t limit, std::string& bytes,
                 bool& cut) const override;
  std::unique_ptr<FileStream> Open(const std::string& file) const override;
  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
};

// Names compared as Windows compares them on a medium: ASCII letter case
// ignored.
bool SameName(const std::string& a, const std::string& b);

// The file that `relative` (backslashes or slashes) names below the root,
// matching each name without regard to letter case, as Windows does; its
// path in the tree, or nothing.
std::optional<std::string> FindInTree(const MediumTree& tree, const std::string& relative);

// Every file below the root whose name `wanted` accepts, in the tree's
// order, its path names joined with '/'; at most `limit` names looked at
// and folders `depth` deep, so that a folder that loops (a link to one of
// its own ancestors) ends the walk. False when a bound was reached.
bool WalkTree(const MediumTree& tree, const std::function<bool(const std::string& name)>& wanted,
              std::size_t limit, std::size_t depth, std::vector<std::string>& files);
