// Joliet's directories walked record by record: each record's extent and
// size checked against the image before it is read, every folder's extent
// read once (a folder that holds an ancestor is refused), names decoded from
// UCS-2 big-endian with the ";1" version and a bare trailing dot dropped, as
// Windows shows them. A file's contents are read from its extent.
#include "check/read/joliet_tree.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr std::uint64_t kSector = 2048;
constexpr std::size_t kRootRecord = 156;  // in the volume descriptor
constexpr std::size_t kRecordHead = 33;   // a directory record before its name
// A folder's records: far more than any real folder needs.
constexpr std::uint32_t kMaxFolderBytes = 16u << 20;

std::uint32_t Little32(const unsigned char* at) {
  return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
         std::uint32_t{at[3]} << 24;
}

struct Extent {
  std::uint32_t sector = 0;
  std::uint32_t size = 0;
};

// A file's extent in the image, read in order or at an offset, every read
// checked against the image by its bounded reader.
class ExtentFile final : public FileStream {
 public:
  ExtentFile(std::shared_ptr<const ImageBytes> bytes, std::uint64_t offset, std::uint64_t size)
      : bytes_(std::move(bytes)), offset_(offset), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  bool Next(char* buffer, std::size_t size, std::size_t& got) override {
    const std::uint64_t left = size_ - position_;
    got = static_cast<std::size_t>(left < size ? left : size);
    if (got > 0 && !bytes_->Read(offset_ + position_, buffer, got)) return false;
    position_ += got;
    return true;
  }
  bool CanSeek() const override { return true; }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    return offset <= size_ && size <= size_ - offset &&
           bytes_->Read(offset_ + offset, buffer, size);
  }

 private:
  std::shared_ptr<const ImageBytes> bytes_;
  std::uint64_t offset_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
};

void AppendUtf8(std::string& text, std::uint32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | code >> 6);
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | code >> 12);
    text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | code >> 18);
    text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// UCS-2 (UTF-16) big-endian to UTF-8; a lone surrogate becomes U+FFFD.
std::string NameFromUcs2(const unsigned char* name, std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i + 1 < length; i += 2) {
    std::uint32_t code = std::uint32_t{name[i]} << 8 | name[i + 1];
    if (code >= 0xD800 && code < 0xDC00 && i + 3 < length) {
      const std::uint32_t low = std::uint32_t{name[i + 2]} << 8 | name[i + 3];
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(text, code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
  }
  const std::size_t version = text.rfind(';');
  if (version != std::string::npos) text.erase(version);
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

class JolietWalk {
 public:
  JolietWalk(const ImageBytes& bytes, ImageTree& tree, std::string& error)
      : bytes_(bytes), tree_(tree), error_(error) {}

  std::map<std::string, Extent> files;

  bool Folder(const Extent& extent, const std::string& path, std::size_t depth) {
    if (depth > kMaxImageDepth || !seen_.insert(extent.sector).second) {
      error_ = BoundsError();
      return false;
    }
    std::vector<unsigned char> records;
    if (!ReadExtent(extent, kMaxFolderBytes, records)) return false;
    for (std::size_t at = 0; at < records.size();) {
      const std::size_t length = records[at];
      // A record never spans sectors: a zero length pads to the next one.
      if (length == 0) {
        at = (at / kSector + 1) * kSector;
        continue;
      }
      if (length < kRecordHead || at + length > records.size() ||
          at / kSector != (at + length - 1) / kSector || kRecordHead + records[at + 32] > length) {
        error_ = "its Joliet folder " + (path.empty() ? std::string("\\") : path) +
                 " holds a broken record";
        return false;
      }
      const unsigned char* record = records.data() + at;
      at += length;
      const std::size_t nameLength = record[32];
      // "\0" and "\1" are the folder itself and its parent.
      if (nameLength == 1 && record[33] <= 1) continue;
      const std::string name = NameFromUcs2(record + kRecordHead, nameLength);
      if (name.empty()) continue;
      const std::string child = path.empty() ? name : path + "/" + name;
      const bool folder = (record[25] & 2) != 0;
      if (++records_ > kMaxImageNames ||
          !tree_.Add(child, folder ? EntryKind::Folder : EntryKind::File)) {
        error_ = BoundsError();
        return false;
      }
      const Extent own{Little32(record + 2), Little32(record + 10)};
      if (!folder) {
        files.emplace(child, own);
      } else if (!Folder(own, child, depth + 1)) {
        return false;
      }
    }
    return true;
  }

  bool ReadExtent(const Extent& extent, std::uint32_t limit, std::vector<unsigned char>& data) {
    const std::uint64_t offset = std::uint64_t{extent.sector} * kSector;
    const std::uint32_t size = std::min(extent.size, limit);
    if (offset > bytes_.Size() || extent.size > bytes_.Size() - offset) {
      error_ = "it is cut short: a Joliet extent lies past its end";
      return false;
    }
    data.resize(size);
    if (size > 0 && !bytes_.Read(offset, data.data(), size)) {
      error_ = "its Joliet names cannot be read";
      return false;
    }
    return true;
  }

 private:
  const ImageBytes& bytes_;
  ImageTree& tree_;
  std::string& error_;
  std::set<std::uint32_t> seen_;
  std::size_t records_ = 0;
};

}  // namespace

bool ReadJolietTree(const std::shared_ptr<const ImageBytes>& bytes, std::uint64_t descriptorSector,
                    ImageTree& tree, std::string& error) {
  unsigned char root[34];
  if (!bytes->Read(descriptorSector * kSector + kRootRecord, root, sizeof root)) {
    error = "its Joliet volume descriptor is cut short";
    return false;
  }
  JolietWalk walk(*bytes, tree, error);
  if (!walk.Folder({Little32(root + 2), Little32(root + 10)}, "", 0)) return false;
  // A file's extent, when it lies inside the image.
  const auto files = std::make_shared<const std::map<std::string, Extent>>(std::move(walk.files));
  const auto open = [bytes, files](const std::string& file) -> std::unique_ptr<FileStream> {
    const auto found = files->find(file);
    if (found == files->end()) return nullptr;
    const std::uint64_t offset = std::uint64_t{found->second.sector} * kSector;
    const std::uint64_t size = found->second.size;
    if (offset > bytes->Size() || size > bytes->Size() - offset) return nullptr;
    return std::make_unique<ExtentFile>(bytes, offset, size);
  };
  tree.SetReader([open](const std::string& file, std::size_t limit, std::string& data, bool& cut) {
    const std::unique_ptr<FileStream> stream = open(file);
    if (stream == nullptr) return false;
    cut = stream->Size() > limit;
    data.resize(static_cast<std::size_t>(cut ? limit : stream->Size()));
    return data.empty() || stream->ReadAt(0, data.data(), data.size());
  });
  tree.SetOpener(open);
  return true;
}
