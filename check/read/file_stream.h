// A file on a medium read once from start to end in chunks, so that memory
// stays bounded by a buffer whatever the file's size; sources that can seek
// (a folder, a UDF volume) also read at an offset. A disc image's ISO 9660
// files come through libarchive, which reads in order only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class FileStream {
 public:
  virtual ~FileStream() = default;
  // The file's size, as its folder or record declares it.
  virtual std::uint64_t Size() const = 0;
  // The next bytes in order, at most `size`; `got` is 0 at the end. False on
  // a read error.
  virtual bool Next(char* buffer, std::size_t size, std::size_t& got) = 0;
  // Whether ReadAt works; it leaves the position of Next as it was.
  virtual bool CanSeek() const { return false; }
  // False unless all `size` bytes at `offset` were read.
  virtual bool ReadAt(std::uint64_t /*offset*/, char* /*buffer*/, std::size_t /*size*/) {
    return false;
  }
};

// Called for each file asked for; `stream` is null when it cannot be opened.
using FileVisitor = std::function<void(const std::string& file, FileStream* stream)>;
