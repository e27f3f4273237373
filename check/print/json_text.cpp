// JSON strings for the checker's reports: the findings quote medium bytes,
// which may be the system code page's rather than UTF-8.
#include "check/print/json_text.h"

#include <cstdio>

#include "check/read/name_characters.h"

namespace {

// Windows-1252 at 0x80-0x9F; 0 where it has no character.
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string Escaped(unsigned code) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", code);
  return escape;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (byte == '"' || byte == '\\') {
        json += '\\';
        json += static_cast<char>(byte);
      } else if (byte < 0x20 || byte == 0x7F) {
        json += Escaped(byte);
      } else {
        json += static_cast<char>(byte);
      }
      ++at;
      continue;
    }
    if (const std::size_t length = Utf8SequenceAt(text, at)) {
      json.append(text.substr(at, length));
      at += length;
      continue;
    }
    const unsigned code = byte >= 0xA0 ? byte : kHigh[byte - 0x80];
    json += Escaped(code == 0 ? 0xFFFD : code);
    ++at;
  }
  return json + "\"";
}
