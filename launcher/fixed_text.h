// A text area of fixed capacity that never overflows: every write that would
// not fit is refused and reported, so a cut value is always a decision.
#pragma once

#include <cstddef>
#include <cstring>

template <std::size_t Capacity>
class FixedText {
 public:
  // Characters of text it can hold; the area has one more for the terminator.
  static constexpr std::size_t kCapacity = Capacity;
  static constexpr std::size_t kAreaSize = Capacity + 1;

  FixedText() { text_[0] = '\0'; }

  const char* c_str() const { return text_; }
  std::size_t size() const { return std::strlen(text_); }
  bool empty() const { return text_[0] == '\0'; }
  void Clear() { text_[0] = '\0'; }

  // Replaces the text; on overflow returns false and leaves it unchanged.
  bool Assign(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > Capacity) return false;
    std::memmove(text_, text, length + 1);
    return true;
  }

  // Appends; on overflow returns false and leaves the text unchanged.
  bool Append(const char* text) {
    const std::size_t used = size();
    const std::size_t length = std::strlen(text);
    if (length > Capacity - used) return false;
    std::memcpy(text_ + used, text, length + 1);
    return true;
  }

  // The raw area, kAreaSize bytes, for platform calls that fill it. The caller
  // must leave it terminated within the area (use Terminate when unsure).
  char* Area() { return text_; }
  void Terminate() { text_[Capacity] = '\0'; }

 private:
  char text_[kAreaSize];
};

// Values read from the configuration file and paths composed from them.
using ValueText = FixedText<1023>;
// Paths the platform hands back: current directory, shortcut target and
// working directory.
using PlatformPath = FixedText<259>;
