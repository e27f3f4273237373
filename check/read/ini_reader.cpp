// The initialization-file rules as the platform's reader applies them, learnt
// from it and held to it by the differential test under Wine (but for the
// byte-order marks, where Wine differs from Windows and Windows is followed):
// a file is ANSI bytes unless it begins with UTF-16 LE's mark; lines end at CR
// or LF; ASCII blanks (and ^Z) around lines, names and values are dropped; a
// line opening with '[' and holding a ']' starts a section named by the
// trimmed text up to the last ']'; other lines are keys, split at the first
// '='; names match without regard to ASCII letter case; a lookup sees only the
// first section and the first key of a name.
#include "check/read/ini_reader.h"

namespace {

// Private-use characters stand for the code page's bytes 0x80-0x9F, so they
// are neither blanks nor letters and come back as the same bytes.
constexpr char32_t kHighControls = 0xF780;

bool IsBlank(char32_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A; }

char32_t Fold(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
  return c;
}

// The characters that Windows-1252 puts at 0x80-0x9F; the others are '?'.
char FromUnicodeHigh(char32_t c) {
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  for (unsigned i = 0; i < 32; ++i) {
    if (kHigh[i] != 0 && kHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

std::u32string FromAnsi(std::string_view bytes) {
  std::u32string text;
  text.reserve(bytes.size());
  for (const char b : bytes) {
    const auto code = static_cast<unsigned char>(b);
    text.push_back(code >= 0x80 && code <= 0x9F ? kHighControls + (code - 0x80u) : code);
  }
  return text;
}

std::u32string FromUtf16Le(std::string_view bytes) {
  std::u32string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[i]);
    const auto high = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back((char32_t{high} << 8) | low);
  }
  return text;
}

std::u32string_view UpToNul(std::u32string_view text) {
  return text.substr(0, text.find(char32_t{0}));
}

}  // namespace

IniDocument ParseIni(std::string_view bytes) {
  IniDocument document;
  std::u32string text;
  // Windows' reader knows one byte-order mark, UTF-16 little-endian's; it
  // reads any other file as ANSI bytes, so a UTF-8 mark is three characters
  // at the start of the first line, and a big-endian file holds no section.
  // (Wine's reader also decodes those two; Windows is the one that counts.)
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    document.encoding = IniEncoding::Utf16Le;
    text = FromUtf16Le(bytes.substr(2));
  } else {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") document.encoding = IniEncoding::Utf8Bom;
    if (bytes.substr(0, 2) == "\xFE\xFF") document.encoding = IniEncoding::Utf16Be;
    text = FromAnsi(bytes);
  }

  document.sections.emplace_back();
  std::u32string_view rest = text;
  for (int number = 1; !rest.empty(); ++number) {
    const std::size_t end = rest.find_first_of(U"\r\n");
    std::u32string_view line = TrimIniBlanks(rest.substr(0, end));
    std::size_t next = end == std::u32string_view::npos ? rest.size() : end + 1;
    // CR LF is one line's end: the lines are numbered as an editor shows them.
    if (next < rest.size() && rest[end] == U'\r' && rest[next] == U'\n') ++next;
    rest.remove_prefix(next);
    if (line.empty()) continue;
    const std::size_t close = line.rfind(U']');
    if (line.front() == U'[' && close != std::u32string_view::npos) {
      IniSection section;
      section.name = TrimIniBlanks(line.substr(1, close - 1));
      section.hasHeader = true;
      section.line = number;
      document.sections.push_back(std::move(section));
      continue;
    }
    IniEntry entry;
    entry.line = number;
    const std::size_t equals = line.find(U'=');
    entry.hasEquals = equals != std::u32string_view::npos;
    entry.name = TrimIniBlanks(line.substr(0, equals));
    if (entry.hasEquals) entry.value = TrimIniBlanks(line.substr(equals + 1));
    document.sections.back().entries.push_back(std::move(entry));
  }
  return document;
}

std::u32string_view TrimIniBlanks(std::u32string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsIniComment(const IniEntry& entry) {
  return entry.name.empty() || entry.name[0] == 0 || entry.name[0] == U';' || entry.name[0] == U'#';
}

std::string Narrow(std::u32string_view text) {
  std::string bytes;
  for (const char32_t c : UpToNul(text)) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      bytes.push_back(static_cast<char>(c));
    } else if (c >= kHighControls && c < kHighControls + 0x20) {
      bytes.push_back(static_cast<char>(c - kHighControls + 0x80));
    } else {
      bytes.push_back(FromUnicodeHigh(c));
    }
  }
  return bytes;
}

bool SameIniName(std::u32string_view written, std::string_view wanted) {
  written = UpToNul(written);
  if (written.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (Fold(written[i]) != Fold(static_cast<unsigned char>(wanted[i]))) return false;
  }
  return true;
}

const IniSection* FindIniSection(const IniDocument& document, std::string_view name) {
  for (const IniSection& section : document.sections) {
    if (section.hasHeader && SameIniName(section.name, name)) return &section;
  }
  return nullptr;
}

const IniEntry* FindIniEntry(const IniSection& section, std::string_view key) {
  for (const IniEntry& entry : section.entries) {
    if (SameIniName(entry.name, key)) return &entry;
  }
  return nullptr;
}

std::string ReturnedValue(std::u32string_view stored) {
  std::u32string_view value = UpToNul(stored);
  // The platform drops the closing quote by shortening what it copied, so a
  // value that only just fits loses one more character instead.
  if (value.size() > 1 && (value[0] == U'"' || value[0] == U'\'') && value.back() == value[0]) {
    value.remove_prefix(1);
    const bool fits = value.size() <= kValueCapacity + 1;
    value = value.substr(0, kValueCapacity);
    if (fits) value.remove_suffix(1);
  }
  return Narrow(value.substr(0, kValueCapacity));
}

std::string ReadIniValue(const IniDocument& document, std::string_view section,
                         std::string_view key) {
  const IniSection* found = FindIniSection(document, section);
  const IniEntry* entry = found == nullptr ? nullptr : FindIniEntry(*found, key);
  return entry == nullptr ? std::string() : ReturnedValue(entry->value);
}
