// How long the Windows-side tests wait for what they expect: the given time
// where they run natively, a whole multiple of it where they run under
// full-system emulation, many times slower, whose job sets
// AUTORUN_TEST_PATIENCE (1 to 100).
#pragma once

#include <windows.h>

#include <cstdlib>

inline DWORD Patience(DWORD milliseconds) {
  static const DWORD factor = [] {
    const char* text = std::getenv("AUTORUN_TEST_PATIENCE");
    const long value = text != nullptr ? std::strtol(text, nullptr, 10) : 1;
    return value >= 1 && value <= 100 ? static_cast<DWORD>(value) : DWORD{1};
  }();
  return milliseconds * factor;
}
