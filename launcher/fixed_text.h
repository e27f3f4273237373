// A text area of fixed capacity that never overflows: every write that would
// not fit is refused and reported, so a cut value is always a decision.
// Capacities count characters: bytes of the ANSI code page, or UTF-16 units
// for the wide text that the launcher takes from the system and hands back
// to it unchanged (the class path, the product's shortcut and start).
#pragma once

#include <cstddef>
#include <cstring>
#include <cwchar>

inline std::size_t TextLength(const char* text) { return std::strlen(text); }
inline std::size_t TextLength(const wchar_t* text) { return std::wcslen(text); }

// Appends `text` to the terminated text in `area`, which holds `capacity`
// characters and a terminator; on overflow returns false and leaves it
// unchanged. One copy of the code for every capacity.
template <typename Char>
[[gnu::noinline]] bool AppendWithin(Char* area, std::size_t capacity, const Char* text) {
  const std::size_t used = TextLength(area);
  const std::size_t length = TextLength(text);
  if (length > capacity - used) return false;
  std::memmove(area + used, text, (length + 1) * sizeof(Char));
  return true;
}

template <typename Char, std::size_t Capacity>
class BasicFixedText {
 public:
  // Characters of text it can hold; the area has one more for the terminator.
  static constexpr std::size_t kCapacity = Capacity;
  static constexpr std::size_t kAreaSize = Capacity + 1;

  BasicFixedText() { text_[0] = 0; }

  const Char* c_str() const { return text_; }
  std::size_t size() const { return TextLength(text_); }
  bool empty() const { return text_[0] == 0; }
  void Clear() { text_[0] = 0; }

  // Replaces the text; on overflow returns false and leaves it unchanged.
  bool Assign(const Char* text) {
    const std::size_t length = TextLength(text);
    if (length > Capacity) return false;
    std::memmove(text_, text, (length + 1) * sizeof(Char));
    return true;
  }

  // Appends; on overflow returns false and leaves the text unchanged.
  bool Append(const Char* text) { return AppendWithin(text_, Capacity, text); }

  // The raw area, kAreaSize characters, for platform calls that fill it. The
  // caller must leave it terminated within the area (use Terminate when
  // unsure).
  Char* Area() { return text_; }
  void Terminate() { text_[Capacity] = 0; }

 private:
  Char text_[kAreaSize];
};

template <std::size_t Capacity>
using FixedText = BasicFixedText<char, Capacity>;
template <std::size_t Capacity>
using WideText = BasicFixedText<wchar_t, Capacity>;

// Values read from the configuration file and paths composed from them.
using ValueText = FixedText<1023>;
// Paths the platform hands back: current directory, shortcut target and
// working directory.
using PlatformPath = FixedText<259>;
// The same limits for wide paths: a program path, and a directory or a
// shortcut's target.
using WideValueText = WideText<1023>;
using WidePlatformPath = WideText<259>;
