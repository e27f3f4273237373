// Why a name the medium's files give is missing from the names Windows reads
// on a disc image. Mastering changes names: without Joliet Windows sees 8.3
// upper-case ISO 9660 names, Joliet cuts names to 64 characters unless told
// otherwise, and the Rock Ridge names a Linux machine shows are invisible to
// Windows. A name missing from Windows' set is looked for in the image's
// other sets, which tell what went wrong in mastering.
#include "check/judge/image_names.h"

namespace {

constexpr std::size_t kJolietNameLimit = 64;
std::string WithBackslashes(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

// The longest name of a path, in characters (UTF-8 continuation bytes not
// counted), as Joliet counts them.
std::size_t LongestName(const std::string& path) {
  std::size_t longest = 0, current = 0;
  for (const char c : path) {
    if (c == '\\' || c == '/') {
      current = 0;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      longest = std::max(longest, ++current);
    }
  }
  return longest;
}

class Explainer {
 public:
  explicit Explainer(const DiscImage& image) : image_(image) {}

  std::optional<MissingName> operator()(const std::string& name) const {
    const std::string quoted = "\"" + name + "\"";
    const char* windows = NameSetName(image_.windows);
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
    if (image_.windows == NameSet::Joliet && longest > kJolietNameLimit) {
      return MissingName{"cut-by-joliet",
                         quoted + " holds a name of " + std::to_string(longest) +
                             " characters, which Joliet cut to 64 (the " + where +
                             " names hold it whole), and Windows reads the Joliet names",
                         "master with -joliet-long (Joliet names of up to 103 characters), or "
                         "shorten the name to 64 characters"};
    }
    if (image_.windows == NameSet::Udf && longest > kJolietNameLimit) {
      return MissingName{"cut-in-udf",
                         quoted + " holds a name of " + std::to_string(longest) +
                             " characters, which the mastering tool cut in the UDF names "
                             "Windows reads (the " +
                             where + " names hold it whole)",
                         "master with -joliet-long as well (genisoimage then cuts no UDF name "
                         "under 103 characters), or shorten the name to 64 characters"};
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
};

}  // namespace

MissingNameExplainer ExplainMissingImageName(const DiscImage& image) { return Explainer(image); }
