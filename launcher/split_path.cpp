// Path splitting for the medium's root, the configuration file's directory
// and the shortcut's folder and file name.
#include "launcher/split_path.h"

#include <cstring>

bool SplitPath(const char* source, PathPart part, char* result, std::size_t resultSize,
               LeadBytePredicate isLeadByte) {
  const std::size_t length = std::strlen(source);
  if (resultSize == 0) return false;
  if (length >= resultSize) {
    result[0] = '\0';
    return false;
  }
  std::memmove(result, source, length + 1);

  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t first = kNone;
  std::size_t last = kNone;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char code = static_cast<unsigned char>(source[i]);
    if (IsLeadByte(isLeadByte, code)) {
      // The trail byte may be 0x5C; it belongs to the character, not the path.
      if (i + 1 < length) ++i;
      continue;
    }
    if (code == '\\') {
      if (first == kNone) first = i;
      last = i;
    }
  }
  if (last == kNone || last == 0) return false;

  switch (part) {
    case PathPart::Directory:
      result[last] = '\0';
      break;
    case PathPart::FileName:
      std::memmove(result, source + last + 1, length - last);
      break;
    case PathPart::Root:
      result[first + 1] = '\0';
      break;
    default:
      break;
  }
  return true;
}
