// Characters of a name: UTF-8 where the whole name is valid UTF-8.
#include "check/read/name_characters.h"

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  if (lead < 0xC2 || lead > 0xF4) return 0;
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

namespace {

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace

std::size_t NameCharacters(std::string_view name) {
  if (!IsUtf8(name)) return name.size();
  std::size_t count = 0;
  for (std::size_t at = 0; at < name.size(); at += Utf8SequenceAt(name, at)) ++count;
  return count;
}

std::string_view NameStart(std::string_view name, std::size_t characters) {
  if (!IsUtf8(name)) return name.substr(0, characters);
  std::size_t at = 0;
  for (; at < name.size() && characters > 0; --characters) at += Utf8SequenceAt(name, at);
  return name.substr(0, at);
}
