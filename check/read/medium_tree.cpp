// Names looked up as Windows looks them up on a medium: one folder at a time,
// letter case ignored, "." and ".." taken as folders of the path.
#include "check/read/medium_tree.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

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
