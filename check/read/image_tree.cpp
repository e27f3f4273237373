// An image's tree in memory: each folder's entries by the folder's path.
#include "check/read/image_tree.h"

#include <algorithm>

std::string BoundsError() {
  return "it holds more than " + std::to_string(kMaxImageNames) +
         " names or folders nested more than " + std::to_string(kMaxImageDepth) +
         " deep (its folders may loop)";
}

std::string CleanImagePath(const std::string& path) {
  std::string clean;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string name = path.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    clean += (clean.empty() ? "" : "/") + name;
  }
  return clean;
}

bool ImageTree::Add(const std::string& path, EntryKind kind) {
  if (path.empty()) return true;
  if (static_cast<std::size_t>(std::count(path.begin(), path.end(), '/')) >= kMaxImageDepth) {
    return false;
  }
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
  if (folders_.count(folder) == 0 && !Add(folder, EntryKind::Folder)) return false;
  std::vector<TreeEntry>& entries = folders_[folder];
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  for (TreeEntry& entry : entries) {
    if (entry.name != name) continue;
    // A folder named before its own record came keeps the record's kind.
    entry.kind = kind;
    return true;
  }
  if (paths_.size() >= kMaxImageNames) return false;
  entries.push_back({name, kind});
  paths_.push_back(path);
  if (kind == EntryKind::Folder) folders_.emplace(path, std::vector<TreeEntry>());
  return true;
}

bool ImageTree::List(const std::string& folder, std::vector<TreeEntry>& entries) const {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return false;
  entries = found->second;
  return true;
}

bool ImageTree::ReadStart(const std::string& file, std::size_t limit, std::string& bytes,
                          bool& cut) const {
  return reader_ && reader_(file, limit, bytes, cut);
}

std::unique_ptr<FileStream> ImageTree::Open(const std::string& file) const {
  return opener_ ? opener_(file) : nullptr;
}

void ImageTree::StreamFiles(const std::vector<std::string>& files, const FileVisitor& visit) const {
  if (streamer_) {
    streamer_(files, visit);
    return;
  }
  MediumTree::StreamFiles(files, visit);
}
