// How the launcher learns which bytes open a double-byte character in the
// system code page, without depending on the platform in portable code.
#pragma once

// Returns true when `leadCandidate` is the first byte of a double-byte character.
// A null predicate means a single-byte code page.
using LeadBytePredicate = bool (*)(unsigned char leadCandidate);

inline bool IsLeadByte(LeadBytePredicate isLeadByte, unsigned char leadCandidate) {
  return isLeadByte != nullptr && isLeadByte(leadCandidate);
}
