// Cuts the directory, the file name or the root out of a backslash-separated
// path, stepping over double-byte characters of the system code page.
#pragma once

#include <cstddef>

#include "launcher/fixed_text.h"
#include "launcher/lead_byte.h"

enum class PathPart : int { Directory = 0, FileName = 1, Root = 2 };

// Writes the selected part of `source` into `result` (an area of
// `resultSize` bytes) and returns whether the path had a usable separator:
// without one (none, or the last at position 0) the result is the whole
// source. Any selector other than the three named ones keeps the whole source.
// A source that does not fit the result area leaves it empty and returns false.
bool SplitPath(const char* source, PathPart part, char* result, std::size_t resultSize,
               LeadBytePredicate isLeadByte);

template <std::size_t N>
bool SplitPath(const char* source, PathPart part, FixedText<N>& result,
               LeadBytePredicate isLeadByte) {
  return SplitPath(source, part, result.Area(), FixedText<N>::kAreaSize, isLeadByte);
}
