// What the fuzzers share: the input as a terminated text in an area of its
// exact size, the lead-byte rules to run under, and a check that stops the
// run with the broken rule named.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "launcher/lead_byte.h"

// Sized exactly, so AddressSanitizer reports any read past the terminator. An
// embedded NUL ends the text early, as it would for the platform.
inline std::unique_ptr<char[]> TerminatedText(const uint8_t* data, std::size_t size) {
  std::unique_ptr<char[]> text(new char[size + 1]);
  std::memcpy(text.get(), data, size);
  text[size] = '\0';
  return text;
}

// A double-byte code page's lead bytes; its trail bytes include '\\'.
inline bool DoubleByteLead(unsigned char code) {
  return (code >= 0x81 && code <= 0x9F) || (code >= 0xE0 && code <= 0xFC);
}
// The harshest rule: every byte opens a character, quotes and separators too.
inline bool EveryByteLead(unsigned char) { return true; }

constexpr LeadBytePredicate kLeadByteRules[] = {nullptr, DoubleByteLead, EveryByteLead};

inline void Require(bool holds, const char* rule) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", rule);
  std::abort();
}
