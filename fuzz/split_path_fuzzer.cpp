// Fuzzes path splitting with the input as the path: every selector, every
// lead-byte rule, result areas from empty through too small to roomy.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "launcher/split_path.h"

namespace {

// The named parts and one selector out of range.
constexpr PathPart kParts[] = {PathPart::Directory, PathPart::FileName, PathPart::Root,
                               static_cast<PathPart>(7)};

struct Split {
  bool separated;
  std::string result;
};

// The area is allocated at its exact size, so a write past it is reported.
Split Run(const char* source, PathPart part, std::size_t areaSize, LeadBytePredicate rule) {
  std::unique_ptr<char[]> area(new char[areaSize]);
  std::memset(area.get(), '#', areaSize);
  const bool separated = SplitPath(source, part, area.get(), areaSize, rule);
  if (areaSize == 0) return {separated, ""};
  Require(std::memchr(area.get(), '\0', areaSize) != nullptr, "result terminated in its area");
  return {separated, area.get()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto text = TerminatedText(data, size);
  const std::string source = text.get();
  const std::size_t length = source.size();
  for (const LeadBytePredicate rule : kLeadByteRules) {
    for (const std::size_t areaSize : {std::size_t{0}, std::size_t{1}, length / 2, length}) {
      if (areaSize > length) continue;
      for (const PathPart part : kParts) {
        const Split tooSmall = Run(text.get(), part, areaSize, rule);
        Require(!tooSmall.separated && tooSmall.result.empty(), "too small an area stays empty");
      }
    }
    const Split dir = Run(text.get(), PathPart::Directory, length + 1, rule);
    const Split file = Run(text.get(), PathPart::FileName, length + 1, rule);
    const Split root = Run(text.get(), PathPart::Root, length + 8, rule);
    const Split other = Run(text.get(), kParts[3], length + 1, rule);
    Require(other.result == source && other.separated == dir.separated &&
                file.separated == dir.separated && root.separated == dir.separated,
            "selectors agree on the separator; an unknown one keeps the whole path");
    if (rule == nullptr) {
      const std::size_t first = source.find('\\');
      const std::size_t last = source.rfind('\\');
      const bool separated = last != std::string::npos && last != 0;
      Require(dir.separated == separated,
              "single-byte: separated when the last backslash is not the first byte");
      Require(!separated ||
                  (dir.result == source.substr(0, last) && file.result == source.substr(last + 1) &&
                   root.result == source.substr(0, first + 1)),
              "single-byte: cut at the last backslash, root up to the first");
    }
    if (!dir.separated) {
      Require(dir.result == source && file.result == source && root.result == source,
              "without a separator every part is the whole path");
      continue;
    }
    // Under a lead-byte rule, trail bytes hide some backslashes; the parts must
    // still be pieces of the path cut at one that is not hidden.
    Require(source.compare(0, dir.result.size(), dir.result) == 0 && !dir.result.empty() &&
                source[dir.result.size()] == '\\',
            "directory is a prefix ending before a backslash");
    Require(dir.result.size() + 1 + file.result.size() == length &&
                source.compare(length - file.result.size(), std::string::npos, file.result) == 0,
            "file name is the rest after the directory's backslash");
    Require(source.compare(0, root.result.size(), root.result) == 0 && !root.result.empty() &&
                root.result.back() == '\\' && root.result.size() <= dir.result.size() + 1,
            "root is a prefix ending in a backslash, no longer than the directory");
  }
  return 0;
}
