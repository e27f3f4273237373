// Findings about a byte-order mark, as Windows reads the file.
#include "check/judge/byte_order_mark.h"

#include <string>

namespace {

std::string Resave(const MarkedFile& file) {
  return std::string("save ") + file.name + " as ANSI, or as UTF-16 LE (\"Unicode\")";
}

// The first line after the mark's three characters, as written (trimmed).
std::u32string FirstLineAfterMark(const IniEntry& first) {
  std::u32string line = first.name.substr(3);
  if (first.hasEquals) line += U"=" + first.value;
  return std::u32string(TrimIniBlanks(line));
}

// The keys that the hidden section held: everything the reader put before
// the first header, but the mark's own line and comments.
std::string LostKeys(const IniSection& beforeHeaders) {
  std::string keys;
  for (const IniEntry& entry : beforeHeaders.entries) {
    if (entry.line == 1 || IsIniComment(entry)) continue;
    keys += (keys.empty() ? "" : ", ") + Narrow(entry.name);
  }
  return keys.empty() ? "no key" : "its keys " + keys;
}

MarkEffect CheckUtf8Mark(const IniDocument& document, const MarkedFile& file,
                         std::vector<Finding>& findings) {
  // The mark's characters are no blanks, so line 1 is the first entry
  // before any header.
  const IniSection& beforeHeaders = document.sections.front();
  const std::u32string line = FirstLineAfterMark(beforeHeaders.entries.front());
  const std::size_t close = line.rfind(U']');
  MarkEffect effect;
  if (!line.empty() && line[0] == U'[' && close != std::u32string::npos) {
    effect.hiddenSection = Narrow(TrimIniBlanks(std::u32string_view(line).substr(1, close - 1)));
    effect.lines = MarkedLines::AllBeforeFirstSection;
    const std::string& section = effect.hiddenSection;
    Finding finding{
        Severity::Error,
        "utf8-mark-hides-section",
        file.name,
        section,
        "",
        std::string(file.name) + " begins with a UTF-8 byte-order mark on the line of [" + section +
            "]; Windows reads the mark as three characters of that line, which is "
            "then no section header",
        std::string(file.reader) + " on Windows never sees section [" + section + "] or " +
            LostKeys(beforeHeaders) + " (Wine reads them, so a test there passes)",
        Resave(file) + ", or put a comment or a blank line first"};
    finding.line = 1;
    findings.push_back(std::move(finding));
    return effect;
  }
  Finding finding{Severity::Note,
                  "utf8-mark",
                  file.name,
                  "",
                  "",
                  std::string(file.name) +
                      " begins with a UTF-8 byte-order mark, before a line that is no section "
                      "header, where it does no harm",
                  "Windows reads the file as ANSI bytes: the values' characters outside ASCII "
                  "reach " +
                      std::string(file.reader) + " as two or three other characters each",
                  Resave(file)};
  finding.line = 1;
  findings.push_back(std::move(finding));
  const bool commentOrBlank = line.empty() || line[0] == U';' || line[0] == U'#';
  effect.lines = commentOrBlank ? MarkedLines::FirstLine : MarkedLines::None;
  return effect;
}

}  // namespace

bool MarkEffect::Hides(std::string_view section) const {
  return noSection || (!hiddenSection.empty() && SameName(hiddenSection, std::string(section)));
}

MarkEffect CheckByteOrderMark(const IniDocument& document, const MarkedFile& file,
                              std::vector<Finding>& findings) {
  switch (document.encoding) {
    case IniEncoding::Ansi:
      return {};
    case IniEncoding::Utf16Le:
      if (file.unicode != nullptr) {
        findings.push_back({Severity::Note, "unicode-file", file.name, "", "",
                            std::string(file.name) + " is a UTF-16 LE (\"Unicode\") file",
                            file.unicode, "write the values in plain ASCII to be safe"});
      }
      return {};
    case IniEncoding::Utf16Be: {
      findings.push_back(
          {Severity::Error, "utf16-be-file", file.name, "", "",
           std::string(file.name) + " is a UTF-16 big-endian file (it begins with FE FF)",
           "Windows reads it as ANSI bytes and finds no section in it: every key "
           "reads empty and " +
               std::string(file.reader) + " starts nothing (Wine reads it, so a test there passes)",
           Resave(file)});
      MarkEffect effect;
      effect.lines = MarkedLines::AllBeforeFirstSection;
      effect.noSection = true;
      return effect;
    }
    case IniEncoding::Utf8Bom:
      return CheckUtf8Mark(document, file, findings);
  }
  return {};
}
