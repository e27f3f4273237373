// libarchive's ISO 9660 reader, fed from the image's bytes through callbacks.
// Rock Ridge, which Windows ignores, is switched off except for the Rock
// Ridge names themselves; Joliet is switched off (its names are read from
// their records, joliet_tree). The
// reader refuses directories that loop; the tree's bounds stop the rest.
#include "check/read/iso9660_tree.h"

#include <archive.h>
#include <archive_entry.h>

#include <set>
#include <vector>

namespace {

const char* Options(IsoNames names) {
  switch (names) {
    case IsoNames::Primary:
      return "iso9660:!rockridge,iso9660:!joliet";
    case IsoNames::RockRidge:
      break;
  }
  return "iso9660:!joliet";
}

// One pass over the volume's records, from the image's bytes.
class IsoReader {
 public:
  IsoReader(std::shared_ptr<const ImageBytes> bytes, IsoNames names)
      : bytes_(std::move(bytes)), archive_(archive_read_new()) {
    if (archive_ == nullptr) return;
    archive_read_support_format_iso9660(archive_);
    opened_ = archive_read_set_options(archive_, Options(names)) == ARCHIVE_OK &&
              archive_read_set_callback_data(archive_, this) == ARCHIVE_OK &&
              archive_read_set_read_callback(archive_, ReadCallback) == ARCHIVE_OK &&
              archive_read_set_skip_callback(archive_, SkipCallback) == ARCHIVE_OK &&
              archive_read_set_seek_callback(archive_, SeekCallback) == ARCHIVE_OK &&
              archive_read_open1(archive_) == ARCHIVE_OK;
  }
  ~IsoReader() {
    if (archive_ != nullptr) archive_read_free(archive_);
  }
  IsoReader(const IsoReader&) = delete;
  IsoReader& operator=(const IsoReader&) = delete;

  // The next record's path and kind; false at the end or on an error.
  bool Next(std::string& path, EntryKind& kind) {
    if (!opened_) return false;
    archive_entry* entry = nullptr;
    int result = archive_read_next_header(archive_, &entry);
    if (result == ARCHIVE_EOF) {
      ended_ = true;
      return false;
    }
    if (result < ARCHIVE_WARN) return false;
    const char* name = archive_entry_pathname_utf8(entry);
    if (name == nullptr) name = archive_entry_pathname(entry);
    path = CleanImagePath(name == nullptr ? "" : name);
    // A second name of a file already read: libarchive hands out its data
    // with the first name only.
    const char* link = archive_entry_hardlink_utf8(entry);
    if (link == nullptr) link = archive_entry_hardlink(entry);
    link_ = link == nullptr ? "" : CleanImagePath(link);
    size_ =
        archive_entry_size(entry) < 0 ? 0 : static_cast<std::uint64_t>(archive_entry_size(entry));
    const auto type = archive_entry_filetype(entry);
    kind = type == AE_IFDIR   ? EntryKind::Folder
           : type == AE_IFREG ? EntryKind::File
                              : EntryKind::Other;
    return true;
  }
  // The next bytes of the current record's file; 0 at its end.
  bool ReadChunk(char* buffer, std::size_t size, std::size_t& got) {
    const la_ssize_t read = archive_read_data(archive_, buffer, size);
    got = read > 0 ? static_cast<std::size_t>(read) : 0;
    return read >= 0;
  }
  std::uint64_t EntrySize() const { return size_; }
  // The name whose record holds the current record's data; empty when the
  // current record holds its own.
  const std::string& Link() const { return link_; }
  bool Ended() const { return ended_; }
  std::string Error() const {
    if (!opened_ && archive_ != nullptr && archive_error_string(archive_) == nullptr) {
      return "it holds no ISO 9660 volume";
    }
    const char* text = archive_ == nullptr ? nullptr : archive_error_string(archive_);
    return text == nullptr ? "its ISO 9660 volume cannot be read" : text;
  }
  bool SawRockRidge() const {
    return archive_ != nullptr && archive_format(archive_) == ARCHIVE_FORMAT_ISO9660_ROCKRIDGE;
  }

 private:
  static la_ssize_t ReadCallback(archive*, void* self, const void** buffer) {
    auto& reader = *static_cast<IsoReader*>(self);
    const std::uint64_t size = reader.bytes_->Size();
    const std::uint64_t left = size > reader.position_ ? size - reader.position_ : 0;
    const std::size_t count =
        left < reader.buffer_.size() ? static_cast<std::size_t>(left) : reader.buffer_.size();
    *buffer = reader.buffer_.data();
    if (count == 0) return 0;
    if (!reader.bytes_->Read(reader.position_, reader.buffer_.data(), count)) return -1;
    reader.position_ += count;
    return static_cast<la_ssize_t>(count);
  }
  static la_int64_t SkipCallback(archive*, void* self, la_int64_t request) {
    auto& reader = *static_cast<IsoReader*>(self);
    const std::uint64_t size = reader.bytes_->Size();
    const std::uint64_t left = size > reader.position_ ? size - reader.position_ : 0;
    const std::uint64_t skip =
        request < 0 ? 0 : std::min<std::uint64_t>(static_cast<std::uint64_t>(request), left);
    reader.position_ += skip;
    return static_cast<la_int64_t>(skip);
  }
  static la_int64_t SeekCallback(archive*, void* self, la_int64_t offset, int whence) {
    auto& reader = *static_cast<IsoReader*>(self);
    const auto size = static_cast<la_int64_t>(reader.bytes_->Size());
    const la_int64_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? static_cast<la_int64_t>(reader.position_)
                                                 : size;
    if (offset > size - base || base + offset < 0) return ARCHIVE_FATAL;
    reader.position_ = static_cast<std::uint64_t>(base + offset);
    return base + offset;
  }

  std::shared_ptr<const ImageBytes> bytes_;
  archive* archive_;
  bool opened_ = false;
  bool ended_ = false;
  std::uint64_t size_ = 0;
  std::string link_;
  std::uint64_t position_ = 0;
  std::vector<char> buffer_ = std::vector<char>(64 * 1024);
};

// The current record's file, read in order through the reader, which an
// opened file owns and a file of a pass borrows.
class IsoFile final : public FileStream {
 public:
  explicit IsoFile(IsoReader& reader) : reader_(reader) {}
  explicit IsoFile(std::unique_ptr<IsoReader> owned) : owned_(std::move(owned)), reader_(*owned_) {}
  std::uint64_t Size() const override { return reader_.EntrySize(); }
  bool Next(char* buffer, std::size_t size, std::size_t& got) override {
    return reader_.ReadChunk(buffer, size, got);
  }

 private:
  std::unique_ptr<IsoReader> owned_;
  IsoReader& reader_;
};

// `file` opened by a pass of its own up to its record, or to the record
// that holds its data.
std::unique_ptr<FileStream> OpenIsoFile(const std::shared_ptr<const ImageBytes>& bytes,
                                        IsoNames names, const std::string& file,
                                        bool followLink = true) {
  auto reader = std::make_unique<IsoReader>(bytes, names);
  std::string at;
  EntryKind kind = EntryKind::File;
  for (std::size_t seen = 0; seen <= kMaxImageNames && reader->Next(at, kind); ++seen) {
    if (at != file || kind != EntryKind::File) continue;
    if (reader->Link().empty()) return std::make_unique<IsoFile>(std::move(reader));
    return followLink ? OpenIsoFile(bytes, names, reader->Link(), false) : nullptr;
  }
  return nullptr;
}

// At most `limit` bytes from a stream's start; `cut` when it holds more.
bool ReadStartOf(FileStream& stream, std::size_t limit, std::string& data, bool& cut) {
  data.assign(limit + 1, '\0');
  std::size_t have = 0;
  while (have < data.size()) {
    std::size_t got = 0;
    if (!stream.Next(&data[have], data.size() - have, got)) return false;
    if (got == 0) break;
    have += got;
  }
  data.resize(have);
  cut = have > limit;
  if (cut) data.resize(limit);
  return true;
}

}  // namespace

bool ReadIso9660Tree(const std::shared_ptr<const ImageBytes>& bytes, IsoNames names,
                     ImageTree& tree, std::string& error, bool& rockRidge) {
  IsoReader reader(bytes, names);
  std::string path;
  EntryKind kind = EntryKind::File;
  // Counted by record, not by name: a damaged volume can hand out the same
  // record, or the root's own, without end.
  for (std::size_t records = 0; reader.Next(path, kind); ++records) {
    if (records >= kMaxImageNames || !tree.Add(path, kind)) {
      error = BoundsError();
      return false;
    }
  }
  rockRidge = reader.SawRockRidge();
  if (!reader.Ended()) {
    error = reader.Error();
    return false;
  }
  // A file's contents: the volume read again up to its record.
  // A file's start: the volume read again up to its record (or the record
  // that holds its data).
  tree.SetReader(
      [bytes, names](const std::string& file, std::size_t limit, std::string& data, bool& cut) {
        const std::unique_ptr<FileStream> stream = OpenIsoFile(bytes, names, file);
        return stream != nullptr && ReadStartOf(*stream, limit, data, cut);
      });
  tree.SetOpener(
      [bytes, names](const std::string& file) { return OpenIsoFile(bytes, names, file); },
      // One pass over the records: the volume is read in order once.
      [bytes, names](const std::vector<std::string>& files, const FileVisitor& visit) {
        std::set<std::string> left(files.begin(), files.end());
        std::vector<std::pair<std::string, std::string>> linked;
        IsoReader pass(bytes, names);
        std::string at;
        EntryKind atKind = EntryKind::File;
        for (std::size_t seen = 0; !left.empty() && seen <= kMaxImageNames && pass.Next(at, atKind);
             ++seen) {
          if (atKind != EntryKind::File || left.erase(at) == 0) continue;
          if (!pass.Link().empty()) {
            linked.emplace_back(at, pass.Link());
            continue;
          }
          IsoFile file(pass);
          visit(at, &file);
        }
        // A second name's data: its first name's record, read again.
        for (const auto& [file, target] : linked) {
          visit(file, OpenIsoFile(bytes, names, target, false).get());
        }
        for (const std::string& file : left) visit(file, nullptr);
      });
  return true;
}
