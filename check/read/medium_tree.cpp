// Names looked up as Windows looks them up on a medium: one folder at a time,
// letter case ignored, "." and ".." taken as folders of the path.
#include "check/read/medium_tree.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A file of the folder, read through the stream's own small buffer.
class FolderFile final : public FileStream {
 public:
  FolderFile(std::ifstream stream, std::uint64_t size) : stream_(std::move(stream)), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  bool Next(char* buffer, std::size_t size, std::size_t& got) override {
    stream_.read(buffer, static_cast<std::streamsize>(size));
    got = static_cast<std::size_t>(stream_.gcount());
    if (stream_.bad()) return false;
    stream_.clear();
    return true;
  }
  bool CanSeek() const override { return true; }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (offset > size_ || size > size_ - offset) return false;
    const std::streampos position = stream_.tellg();
    stream_.seekg(static_cast<std::streamoff>(offset));
    stream_.read(buffer, static_cast<std::streamsize>(size));
    const bool read = static_cast<std::size_t>(stream_.gcount()) == size;
    stream_.clear();
    stream_.seekg(position);
    return read && !stream_.fail();
  }

 private:
  std::ifstream stream_;
  std::uint64_t size_;
};

}  // namespace

void MediumTree::StreamFiles(const std::vector<std::string>& files,
                             const FileVisitor& visit) const {
  for (const std::string& file : files) {
    const std::unique_ptr<FileStream> stream = Open(file);
    visit(file, stream.get());
  }
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool FolderTree::List(const std::string& folder, std::vector<TreeEntry>& entries) const {
  entries.clear();
  std::error_code error;
  fs::directory_iterator listing(folder.empty() ? root_ : root_ / folder, error);
  if (error) return false;
  for (; listing != fs::directory_iterator(); listing.increment(error)) {
    if (error) return false;
    const EntryKind kind = listing->is_directory(error)      ? EntryKind::Folder
                           : listing->is_regular_file(error) ? EntryKind::File
                                                             : EntryKind::Other;
    entries.push_back({listing->path().filename().string(), kind});
  }
  return true;
}

bool FolderTree::ReadStart(const std::string& file, std::size_t limit, std::string& bytes,
                           bool& cut) const {
  const fs::path path = root_ / file;
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return false;
  std::ifstream stream(path, std::ios::binary);
  if (!stream) return false;
  bytes.assign(limit + 1, '\0');
  stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (stream.bad()) return false;
  bytes.resize(static_cast<std::size_t>(stream.gcount()));
  cut = bytes.size() > limit;
  if (cut) bytes.resize(limit);
  return true;
}

std::unique_ptr<FileStream> FolderTree::Open(const std::string& file) const {
  const fs::path path = root_ / file;
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return nullptr;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error) return nullptr;
  std::ifstream stream(path, std::ios::binary);
  if (!stream) return nullptr;
  return std::make_unique<FolderFile>(std::move(stream), static_cast<std::uint64_t>(size));
}

bool WalkTree(const MediumTree& tree, const std::function<bool(const std::string& name)>& wanted,
              std::size_t limit, std::size_t depth, std::vector<std::string>& files) {
  std::size_t seen = 0;
  std::vector<TreeEntry> entries;
  // Folders still to list, with their depth; depth first, in listing order.
  std::vector<std::pair<std::string, std::size_t>> folders = {{"", 0}};
  while (!folders.empty()) {
    const auto [folder, level] = folders.back();
    folders.pop_back();
    if (!tree.List(folder, entries)) continue;
    std::vector<std::pair<std::string, std::size_t>> below;
    for (const TreeEntry& entry : entries) {
      if (++seen > limit) return false;
      const std::string path = folder.empty() ? entry.name : folder + "/" + entry.name;
      if (entry.kind == EntryKind::File && wanted(entry.name)) files.push_back(path);
      if (entry.kind != EntryKind::Folder) continue;
      if (level + 1 >= depth) return false;
      below.emplace_back(path, level + 1);
    }
    folders.insert(folders.end(), below.rbegin(), below.rend());
  }
  return true;
}

std::optional<std::string> FindInTree(const MediumTree& tree, const std::string& relative) {
  std::string current;
  std::vector<TreeEntry> entries;
  EntryKind kind = EntryKind::Folder;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of("\\/", start);
    if (end == std::string::npos) end = relative.size();
    const std::string name = relative.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      const std::size_t slash = current.rfind('/');
      current.erase(slash == std::string::npos ? 0 : slash);
      kind = EntryKind::Folder;
      continue;
    }
    if (kind != EntryKind::Folder || !tree.List(current, entries)) return std::nullopt;
    const TreeEntry* match = nullptr;
    for (const TreeEntry& entry : entries) {
      if (SameName(entry.name, name)) {
        match = &entry;
        break;
      }
    }
    if (match == nullptr) return std::nullopt;
    current += (current.empty() ? "" : "/") + match->name;
    kind = match->kind;
  }
  if (current.empty() || kind != EntryKind::File) return std::nullopt;
  return current;
}
