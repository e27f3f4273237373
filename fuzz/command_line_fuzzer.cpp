// Fuzzes the command-line tail with the input bytes as the command line the
// platform hands over, under each lead-byte rule.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "launcher/command_line.h"

namespace {

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// The tail where no lead byte can hide a quote: after the first blank of an
// unquoted name, or after the first closing quote.
const char* SingleByteTail(const char* line, const char* end) {
  if (*line != '"') {
    const char* nameEnd = line;
    while (static_cast<unsigned char>(*nameEnd) > ' ') ++nameEnd;
    return SkipBlanks(nameEnd);
  }
  const char* closing = std::strchr(line + 1, '"');
  return SkipBlanks(closing != nullptr ? closing + 1 : end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto text = TerminatedText(data, size);
  const char* line = text.get();
  const char* end = line + std::strlen(line);
  const char* expected = SingleByteTail(line, end);
  for (const LeadBytePredicate rule : kLeadByteRules) {
    const char* tail = CommandLineTail(line, rule);
    Require(tail >= line && tail <= end, "tail lies within the command line");
    Require(!IsBlank(*tail), "tail does not begin with a blank");
    if (rule == nullptr || *line != '"') {
      Require(tail == expected, "tail follows the name and its blanks");
      continue;
    }
    // A trail byte may hide a quote, so the name can only end later, and then
    // after a quote that is not the opening one.
    Require(tail >= expected, "a lead byte never ends the name early");
    const char* nameEnd = tail;
    while (nameEnd > line && IsBlank(nameEnd[-1])) --nameEnd;
    Require(tail == end || (nameEnd - 1 > line && nameEnd[-1] == '"'),
            "a quoted name ends with its closing quote");
  }
  return 0;
}
