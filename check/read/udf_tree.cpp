// libudfread over the image's bytes. It reads one folder at a time, so the
// walk itself keeps to the tree's bounds: a folder that holds one of its
// own ancestors ends at the depth bound instead of going round for ever.
#include "check/read/udf_tree.h"

#include <udfread/blockinput.h>
#include <udfread/udfread.h>

#include <cstring>

namespace {

// The block input libudfread reads from: the image's bytes in 2048-byte
// blocks.
struct BlockInput {
  udfread_block_input input;  // first, so that libudfread's pointer is ours
  std::shared_ptr<const ImageBytes> bytes;
};

int ReadBlocks(udfread_block_input* input, uint32_t lba, void* buffer, uint32_t blocks, int) {
  const auto& bytes = *reinterpret_cast<BlockInput*>(input)->bytes;
  uint32_t read = 0;
  for (; read < blocks; ++read) {
    const std::uint64_t offset = (std::uint64_t{lba} + read) * UDF_BLOCK_SIZE;
    if (!bytes.Read(offset, static_cast<char*>(buffer) + std::size_t{read} * UDF_BLOCK_SIZE,
                    UDF_BLOCK_SIZE)) {
      break;
    }
  }
  return static_cast<int>(read);
}

uint32_t BlockCount(udfread_block_input* input) {
  const std::uint64_t blocks = reinterpret_cast<BlockInput*>(input)->bytes->Size() / UDF_BLOCK_SIZE;
  return blocks > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(blocks);
}

// An open volume, closed with its owner.
class UdfVolume {
 public:
  explicit UdfVolume(std::shared_ptr<const ImageBytes> bytes) : udf_(udfread_init()) {
    input_.input.close = nullptr;
    input_.input.read = ReadBlocks;
    input_.input.size = BlockCount;
    input_.bytes = std::move(bytes);
    opened_ = udf_ != nullptr && udfread_open_input(udf_, &input_.input) >= 0;
  }
  ~UdfVolume() {
    if (udf_ != nullptr) udfread_close(udf_);
  }
  UdfVolume(const UdfVolume&) = delete;
  UdfVolume& operator=(const UdfVolume&) = delete;

  bool Opened() const { return opened_; }
  udfread* Handle() const { return udf_; }

 private:
  BlockInput input_{};
  udfread* udf_;
  bool opened_ = false;
};

struct DirCloser {
  void operator()(UDFDIR* dir) const { udfread_closedir(dir); }
};
using Dir = std::unique_ptr<UDFDIR, DirCloser>;

// Adds the entries of `dir`, at `path`, and of every folder below it.
bool Walk(UDFDIR* dir, const std::string& path, ImageTree& tree, std::string& error) {
  udfread_dirent entry{};
  while (udfread_readdir(dir, &entry) != nullptr) {
    if (entry.d_name == nullptr || std::strcmp(entry.d_name, ".") == 0 ||
        std::strcmp(entry.d_name, "..") == 0) {
      continue;
    }
    const std::string name = entry.d_name;
    const std::string child = path.empty() ? name : path + "/" + name;
    const bool folder = entry.d_type == UDF_DT_DIR;
    if (!tree.Add(child, folder                       ? EntryKind::Folder
                         : entry.d_type == UDF_DT_REG ? EntryKind::File
                                                      : EntryKind::Other)) {
      error = BoundsError();
      return false;
    }
    if (!folder) continue;
    const Dir below(udfread_opendir_at(dir, name.c_str()));
    if (below == nullptr) {
      error = "its UDF folder " + child + " cannot be read";
      return false;
    }
    if (!Walk(below.get(), child, tree, error)) return false;
  }
  return true;
}

// The folder that holds `file`, opened one name at a time from the root.
Dir OpenParent(udfread* udf, const std::string& file, std::string& name) {
  Dir dir(udfread_opendir(udf, "/"));
  std::size_t start = 0;
  for (std::size_t slash = file.find('/'); dir && slash != std::string::npos;
       slash = file.find('/', start)) {
    dir.reset(udfread_opendir_at(dir.get(), file.substr(start, slash - start).c_str()));
    start = slash + 1;
  }
  name = file.substr(start);
  return dir;
}

// A file of the volume, which it keeps open; libudfread seeks within it.
class UdfFile final : public FileStream {
 public:
  UdfFile(std::shared_ptr<const UdfVolume> volume, Dir parent, UDFFILE* file)
      : volume_(std::move(volume)), parent_(std::move(parent)), file_(file) {}
  ~UdfFile() override { udfread_file_close(file_); }
  UdfFile(const UdfFile&) = delete;
  UdfFile& operator=(const UdfFile&) = delete;

  std::uint64_t Size() const override {
    const int64_t size = udfread_file_size(file_);
    return size < 0 ? 0 : static_cast<std::uint64_t>(size);
  }
  bool Next(char* buffer, std::size_t size, std::size_t& got) override {
    if (udfread_file_seek(file_, static_cast<int64_t>(position_), UDF_SEEK_SET) < 0) return false;
    const ssize_t read = udfread_file_read(file_, buffer, size);
    got = read > 0 ? static_cast<std::size_t>(read) : 0;
    position_ += got;
    return read >= 0;
  }
  bool CanSeek() const override { return true; }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (udfread_file_seek(file_, static_cast<int64_t>(offset), UDF_SEEK_SET) < 0) return false;
    std::size_t got = 0;
    while (got < size) {
      const ssize_t read = udfread_file_read(file_, buffer + got, size - got);
      if (read <= 0) return false;
      got += static_cast<std::size_t>(read);
    }
    return true;
  }

 private:
  std::shared_ptr<const UdfVolume> volume_;
  Dir parent_;
  UDFFILE* file_;
  std::uint64_t position_ = 0;
};

std::unique_ptr<FileStream> OpenUdfFile(const std::shared_ptr<const UdfVolume>& volume,
                                        const std::string& file) {
  if (!volume->Opened()) return nullptr;
  std::string name;
  Dir parent = OpenParent(volume->Handle(), file, name);
  if (!parent) return nullptr;
  UDFFILE* const opened = udfread_file_openat(parent.get(), name.c_str());
  if (opened == nullptr) return nullptr;
  return std::make_unique<UdfFile>(std::move(volume), std::move(parent), opened);
}

bool ReadUdfFile(const std::shared_ptr<const ImageBytes>& bytes, const std::string& file,
                 std::size_t limit, std::string& data, bool& cut) {
  const UdfVolume volume(bytes);
  if (!volume.Opened()) return false;
  std::string name;
  const Dir parent = OpenParent(volume.Handle(), file, name);
  if (!parent) return false;
  UDFFILE* const opened = udfread_file_openat(parent.get(), name.c_str());
  if (opened == nullptr) return false;
  data.assign(limit + 1, '\0');
  std::size_t got = 0;
  bool ok = true;
  while (got < data.size()) {
    const ssize_t read = udfread_file_read(opened, &data[got], data.size() - got);
    if (read < 0) ok = false;
    if (read <= 0) break;
    got += static_cast<std::size_t>(read);
  }
  udfread_file_close(opened);
  data.resize(got);
  cut = got > limit;
  if (cut) data.resize(limit);
  return ok;
}

}  // namespace

bool ReadUdfTree(const std::shared_ptr<const ImageBytes>& bytes, ImageTree& tree,
                 std::string& error) {
  const UdfVolume volume(bytes);
  if (!volume.Opened()) {
    error = "its UDF volume cannot be read";
    return false;
  }
  const Dir root(udfread_opendir(volume.Handle(), "/"));
  if (root == nullptr) {
    error = "the root folder of its UDF volume cannot be read";
    return false;
  }
  if (!Walk(root.get(), "", tree, error)) return false;
  tree.SetReader([bytes](const std::string& file, std::size_t limit, std::string& data, bool& cut) {
    return ReadUdfFile(bytes, file, limit, data, cut);
  });
  tree.SetOpener(
      [bytes](const std::string& file) {
        return OpenUdfFile(std::make_shared<const UdfVolume>(bytes), file);
      },
      // Many files through one opened volume.
      [bytes](const std::vector<std::string>& files, const FileVisitor& visit) {
        const auto shared = std::make_shared<const UdfVolume>(bytes);
        for (const std::string& file : files) visit(file, OpenUdfFile(shared, file).get());
      });
  return true;
}
