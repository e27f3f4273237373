// Findings about install.dat's byte-order mark, as Windows reads the file.
#include "check/judge/byte_order_mark.h"

#include <string>

namespace {

constexpr char kResave[] = "save install.dat as ANSI, or as UTF-16 LE (\"Unicode\")";

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

MarkedLines CheckUtf8Mark(const IniDocument& document, std::vector<Finding>& findings) {
  // The mark's characters are no blanks, so line 1 is the first entry
  // before any header.
  const IniSection& beforeHeaders = document.sections.front();
  const std::u32string line = FirstLineAfterMark(beforeHeaders.entries.front());
  const std::size_t close = line.rfind(U']');
  if (!line.empty() && line[0] == U'[' && close != std::u32string::npos) {
    const std::string section =
        Narrow(TrimIniBlanks(std::u32string_view(line).substr(1, close - 1)));
    findings.push_back(
        {Severity::Error, "utf8-mark-hides-section", kInstallDat, section, "",
         "install.dat begins with a UTF-8 byte-order mark on the line of [" + section +
             "]; Windows reads the mark as three characters of that line, which is then no "
             "section header",
         "the launcher on Windows never sees section [" + section + "] or " +
             LostKeys(beforeHeaders) + " (Wine reads them, so a test there passes)",
         std::string(kResave) + ", or put a comment or a blank line first"});
    return MarkedLines::AllBeforeFirstSection;
  }
  findings.push_back({Severity::Note, "utf8-mark", kInstallDat, "", "",
                      "install.dat begins with a UTF-8 byte-order mark, before a line that is "
                      "no section header, where it does no harm",
                      "Windows reads the file as ANSI bytes: the values' characters outside "
                      "ASCII reach the launcher as two or three other characters each",
                      kResave});
  const bool commentOrBlank = line.empty() || line[0] == U';' || line[0] == U'#';
  return commentOrBlank ? MarkedLines::FirstLine : MarkedLines::None;
}

}  // namespace

MarkedLines CheckByteOrderMark(const IniDocument& document, std::vector<Finding>& findings) {
  switch (document.encoding) {
    case IniEncoding::Ansi:
      return MarkedLines::None;
    case IniEncoding::Utf16Le:
      findings.push_back({Severity::Note, "unicode-file", kInstallDat, "", "",
                          "install.dat is a UTF-16 LE (\"Unicode\") file",
                          "the launcher gets its values converted to the system code page; "
                          "characters it lacks become '?'",
                          "write the values in plain ASCII to be safe"});
      return MarkedLines::None;
    case IniEncoding::Utf16Be:
      findings.push_back({Severity::Error, "utf16-be-file", kInstallDat, "", "",
                          "install.dat is a UTF-16 big-endian file (it begins with FE FF)",
                          "Windows reads it as ANSI bytes and finds no section in it: every "
                          "key reads empty and the launcher starts nothing (Wine reads it, so "
                          "a test there passes)",
                          kResave});
      return MarkedLines::AllBeforeFirstSection;
    case IniEncoding::Utf8Bom:
      return CheckUtf8Mark(document, findings);
  }
  return MarkedLines::None;
}
