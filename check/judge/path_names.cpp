// The names in the paths the medium's files give, before any image exists:
// Joliet, the name set Windows reads on most discs, holds 64 characters a
// name unless the image is mastered with -joliet-long, and 103 then; longer
// names are cut, and the file is then not found by the name written. Names
// Windows does not allow cannot be opened at all.
#include "check/judge/path_names.h"

#include <string_view>

#include "check/read/name_characters.h"

namespace {

constexpr std::size_t kJolietDefault = 64;
constexpr std::size_t kJolietLongest = 103;

// Why Windows cannot have a file of this name; empty when it can.
std::string Forbidden(std::string_view name) {
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return "a control character";
    if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
      return std::string("the character '") + c + "'";
    }
  }
  // Windows drops a trailing dot or blank from a name it is asked for.
  if (name.back() == '.' || name.back() == ' ') return "a dot or blank at its end";
  std::string base(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  const bool numbered = base.size() == 4 &&
                        (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) &&
                        base[3] >= '1' && base[3] <= '9';
  if (numbered || base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") {
    return "the device name " + base;
  }
  return "";
}

void JudgePath(MediumFindings& findings, const NamedPath& named) {
  std::string longest, forbidden, why;
  std::size_t start = 0;
  while (start <= named.path.size()) {
    std::size_t end = named.path.find_first_of("\\/", start);
    if (end == std::string::npos) end = named.path.size();
    const std::string_view name = std::string_view(named.path).substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == "." || name == "..") continue;
    if (NameCharacters(name) > NameCharacters(longest)) longest = name;
    if (forbidden.empty() && !(why = Forbidden(name)).empty()) forbidden = name;
  }
  const std::string quoted = "\"" + named.path + "\"";
  const std::size_t length = NameCharacters(longest);
  const auto add = [&](const char* code, std::string problem, std::string consequence,
                       std::string action) {
    findings
        .Add(Severity::Warning, code, named.file, named.section, named.key, std::move(problem),
             std::move(consequence), std::move(action))
        .line = named.line;
  };
  if (length > kJolietLongest) {
    add("name-over-103",
        quoted + " holds a name of " + std::to_string(length) +
            " characters, more than Joliet's longest (103, with -joliet-long)",
        "on a disc with Joliet names Windows finds the name cut, not as written, and the file "
        "is not found",
        "shorten the name to 103 characters and master with -joliet-long, or to 64");
  } else if (length > kJolietDefault) {
    add("name-over-64",
        quoted + " holds a name of " + std::to_string(length) +
            " characters, more than the 64 Joliet holds unless mastered with -joliet-long",
        "mastered without -joliet-long (the tools' default), the disc holds the name cut to 64 "
        "characters and Windows does not find the file",
        "master with -joliet-long (then check the image), or shorten the name to 64 characters");
  }
  if (!forbidden.empty()) {
    add("name-characters", quoted + " holds a name Windows does not allow (" + why + ")",
        "Windows cannot open a file of that name, so it is not found on the medium",
        "rename it without < > : \" | ? * or control characters, a dot or blank at its end, "
        "or a device name such as CON or NUL");
  }
}

}  // namespace

void JudgePathNames(MediumFindings& findings) {
  const std::vector<NamedPath> named = findings.Named();
  for (const NamedPath& path : named) JudgePath(findings, path);
}
