// Why a name the medium's files give is missing from the names Windows reads
// on a disc image. Mastering changes names: without Joliet Windows sees 8.3
// upper-case ISO 9660 names, Joliet cuts names to 64 characters unless told
// otherwise (and to 103 when it is), genisoimage cuts a bridge disc's UDF
// names where it cuts Joliet's, and the Rock Ridge names a Linux machine
// shows are invisible to Windows. A cut name is found in Windows' own set by
// the start it kept; else the image's other sets tell what went wrong.
#include "check/judge/image_names.h"

#include <algorithm>
#include <string_view>

#include "check/read/name_characters.h"

namespace {

// Joliet's names without -joliet-long; the tools cut at 64 characters, or
// at 65 where xorriso keeps the extension.
constexpr std::size_t kJolietNameLimit = 64;
// With -joliet-long they cut at 103 (or 104).
constexpr std::size_t kJolietLongLimit = 103;

std::string WithBackslashes(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

// The names of a path, split at either slash.
std::vector<std::string_view> NamesOf(std::string_view path) {
  std::vector<std::string_view> names;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

// The longest name of a path, in characters, as Joliet counts them.
std::size_t LongestName(std::string_view path) {
  std::size_t longest = 0;
  for (const std::string_view name : NamesOf(path))
    longest = std::max(longest, NameCharacters(name));
  return longest;
}

// Whether `kept` is what a mastering tool left of `name`: its start, or
// (xorriso) its start followed by its extension.
bool IsKeptOf(std::string_view name, std::string_view kept) {
  const std::size_t keptLength = NameCharacters(kept);
  if (keptLength < kJolietNameLimit || keptLength >= NameCharacters(name)) return false;
  if (SameName(std::string(kept), std::string(NameStart(name, keptLength)))) return true;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  const std::string_view extension = name.substr(dot);
  if (kept.size() <= extension.size() ||
      !SameName(std::string(kept.substr(kept.size() - extension.size())), std::string(extension))) {
    return false;
  }
  const std::string_view keptStem = kept.substr(0, kept.size() - extension.size());
  return SameName(std::string(keptStem),
                  std::string(NameStart(name.substr(0, dot), NameCharacters(keptStem))));
}

// A name of a path that mastering cut, and what the image kept of it.
struct CutName {
  std::string written;
  std::string kept;
};

// The file `relative` names in `tree`, where it is there only by the start
// that mastering kept of a long name: the first name so cut.
std::optional<CutName> FindCut(const MediumTree& tree, std::string_view relative) {
  std::optional<CutName> cut;
  std::string current;
  std::vector<TreeEntry> entries;
  EntryKind kind = EntryKind::Folder;
  for (const std::string_view name : NamesOf(relative)) {
    if (name == ".") continue;
    if (kind != EntryKind::Folder || name == ".." || !tree.List(current, entries)) {
      return std::nullopt;
    }
    const auto match = [&](bool whole) {
      return std::find_if(entries.begin(), entries.end(), [&](const TreeEntry& entry) {
        return whole ? SameName(entry.name, std::string(name)) : IsKeptOf(name, entry.name);
      });
    };
    auto found = match(true);
    if (found == entries.end()) {
      found = match(false);
      if (found == entries.end()) return std::nullopt;
      if (!cut) cut = CutName{std::string(name), found->name};
    }
    current += (current.empty() ? "" : "/") + found->name;
    kind = found->kind;
  }
  if (kind != EntryKind::File) return std::nullopt;
  return cut;
}

class Explainer {
 public:
  explicit Explainer(const DiscImage& image) : image_(image) {
    const auto joliet = image_.trees.find(NameSet::Joliet);
    if (joliet == image_.trees.end()) return;
    for (const std::string& path : joliet->second.Paths()) {
      longestJoliet_ = std::max(longestJoliet_, LongestName(path));
    }
  }

  std::optional<MissingName> operator()(const std::string& name) const {
    const std::string quoted = "\"" + name + "\"";
    const char* windows = NameSetName(image_.windows);
    if (image_.windows == NameSet::Joliet || image_.windows == NameSet::Udf) {
      if (const std::optional<CutName> cut = FindCut(image_.trees.at(image_.windows), name)) {
        return Cut(quoted, *cut);
      }
    }
    std::optional<NameSet> holder;
    std::string found;
    for (const NameSet set :
         {NameSet::RockRidge, NameSet::Joliet, NameSet::Udf, NameSet::Iso9660}) {
      const auto tree = image_.trees.find(set);
      if (set == image_.windows || tree == image_.trees.end()) continue;
      if (std::optional<std::string> path = FindInTree(tree->second, name)) {
        holder = set;
        found = *path;
        break;
      }
    }
    if (!holder) return std::nullopt;
    const char* where = NameSetName(*holder);
    if (image_.windows == NameSet::Iso9660) {
      const std::string seen = PrimaryName(*holder, found);
      return MissingName{"mastered-without-joliet",
                         quoted + " is on the image only in its " + where +
                             " names: it was mastered without Joliet, and Windows shows its "
                             "8.3 ISO 9660 names" +
                             (seen.empty() ? "" : ", here \"" + WithBackslashes(seen) + "\""),
                         kMasterWithJoliet};
    }
    const std::size_t longest = LongestName(name);
    // Cut past finding: the image's longest Joliet name tells whether it
    // was mastered with -joliet-long.
    const std::size_t limit =
        longestJoliet_ > kJolietNameLimit + 1 ? kJolietLongLimit : kJolietNameLimit;
    if (image_.windows == NameSet::Joliet && longest > limit) {
      return MissingName{"cut-by-joliet",
                         quoted + " holds a name of " + std::to_string(longest) +
                             " characters, which Joliet cut to " + std::to_string(limit) +
                             " (the " + where +
                             " names hold it whole), and Windows reads the Joliet names",
                         Shorten(NameSet::Joliet, longest, limit)};
    }
    if (image_.windows == NameSet::Udf && longest > kJolietNameLimit) {
      return MissingName{"cut-in-udf",
                         quoted + " holds a name of " + std::to_string(longest) +
                             " characters, which the mastering tool cut in the UDF names "
                             "Windows reads (the " +
                             where + " names hold it whole)",
                         Shorten(NameSet::Udf, longest, limit)};
    }
    if (*holder == NameSet::RockRidge) {
      return MissingName{"rock-ridge-only",
                         quoted +
                             " is present only in the Rock Ridge names, which Windows ignores: "
                             "it reads the image's " +
                             windows + " names",
                         std::string("master the image so that its ") + windows +
                             " names hold the file, or correct the path"};
    }
    return MissingName{"not-in-windows-names",
                       quoted + " is in the image's " + where + " names but not in its " + windows +
                           " names, which Windows reads",
                       std::string("master the image so that its ") + windows +
                           " names hold the file, or correct the path"};
  }

 private:
  MissingName Cut(const std::string& quoted, const CutName& cut) const {
    const std::size_t written = NameCharacters(cut.written);
    const std::size_t kept = NameCharacters(cut.kept);
    const bool joliet = image_.windows == NameSet::Joliet;
    return MissingName{joliet ? "cut-by-joliet" : "cut-in-udf",
                       quoted + " holds a name of " + std::to_string(written) +
                           " characters, which the image's " + NameSetName(image_.windows) +
                           " names, the ones Windows reads, hold cut to " + std::to_string(kept) +
                           ": \"" + cut.kept + "\"",
                       Shorten(image_.windows, written, kept)};
  }

  // What to do about a name of `written` characters that the image's
  // `set` names cut to `kept`: the long option, where it was not used
  // and is enough, else a name that fits.
  static std::string Shorten(NameSet set, std::size_t written, std::size_t kept) {
    const bool udf = set == NameSet::Udf;
    if (kept > kJolietNameLimit + 1) {
      return "shorten the name to " + std::to_string(kept) +
             " characters or fewer: the image was mastered with -joliet-long, and its " +
             NameSetName(set) + " names hold no more" +
             (udf ? " (genisoimage cuts UDF names where it cuts Joliet's)" : "");
    }
    if (written > kJolietLongLimit) {
      return std::string("shorten the name to 103 characters and master with -joliet-long") +
             (udf ? " as well" : "") + ", or shorten it to 64";
    }
    return udf ? "master with -joliet-long as well (genisoimage then cuts UDF names at 103 "
                 "characters, not 64) or without -J, or shorten the name to 64 characters"
               : "master with -joliet-long (Joliet names of up to 103 characters), or shorten "
                 "the name to 64 characters";
  }

  // The primary name of a Rock Ridge path: both sets are read from the same
  // records, in the same order.
  std::string PrimaryName(NameSet holder, const std::string& path) const {
    const auto rockRidge = image_.trees.find(NameSet::RockRidge);
    const auto primary = image_.trees.find(NameSet::Iso9660);
    if (holder != NameSet::RockRidge || rockRidge == image_.trees.end() ||
        primary == image_.trees.end()) {
      return "";
    }
    const std::vector<std::string>& names = rockRidge->second.Paths();
    const std::vector<std::string>& primaries = primary->second.Paths();
    if (names.size() != primaries.size()) return "";
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == path) return primaries[i];
    }
    return "";
  }

  const DiscImage& image_;
  std::size_t longestJoliet_ = 0;
};

}  // namespace

MissingNameExplainer ExplainMissingImageName(const DiscImage& image) { return Explainer(image); }
