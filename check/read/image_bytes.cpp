// Image bytes from a file, read with pread so that the two libraries that
// read the image can each keep their own position; or from memory.
#include "check/read/image_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

class FileBytes final : public ImageBytes {
 public:
  FileBytes(int descriptor, std::uint64_t size) : descriptor_(descriptor), size_(size) {}
  ~FileBytes() override { close(descriptor_); }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, void* buffer, std::size_t size) const override {
    if (offset > size_ || size > size_ - offset) return false;
    auto* at = static_cast<char*>(buffer);
    while (size > 0) {
      const ssize_t got = pread(descriptor_, at, size, static_cast<off_t>(offset));
      if (got <= 0) return false;
      at += got;
      offset += static_cast<std::uint64_t>(got);
      size -= static_cast<std::size_t>(got);
    }
    return true;
  }

 private:
  int descriptor_;
  std::uint64_t size_;
};

class MemoryBytes final : public ImageBytes {
 public:
  explicit MemoryBytes(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Read(std::uint64_t offset, void* buffer, std::size_t size) const override {
    if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
    if (size > 0) std::memcpy(buffer, bytes_.data() + offset, size);
    return true;
  }

 private:
  std::string bytes_;
};

}  // namespace

std::shared_ptr<const ImageBytes> OpenImageFile(const std::filesystem::path& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  struct stat status {};
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(descriptor);
    return nullptr;
  }
  return std::make_shared<FileBytes>(descriptor, static_cast<std::uint64_t>(status.st_size));
}

std::shared_ptr<const ImageBytes> ImageInMemory(std::string bytes) {
  return std::make_shared<MemoryBytes>(std::move(bytes));
}
