// The bytes of a disc image, read at any offset: a file on this machine, or
// bytes held in memory (the fuzzer's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class ImageBytes {
 public:
  virtual ~ImageBytes() = default;
  virtual std::uint64_t Size() const = 0;
  // False unless all `size` bytes at `offset` were read.
  virtual bool Read(std::uint64_t offset, void* buffer, std::size_t size) const = 0;
};

// Null when the file cannot be opened.
std::shared_ptr<const ImageBytes> OpenImageFile(const std::filesystem::path& path);
std::shared_ptr<const ImageBytes> ImageInMemory(std::string bytes);
