// The command-line tail: what follows the program's own name.
#pragma once

#include "launcher/lead_byte.h"

// Skips the program name (quoted, or up to the first byte of 32 or below)
// and the blanks and control characters after it; returns the rest, which
// points into `commandLine` and may be empty.
const char* CommandLineTail(const char* commandLine, LeadBytePredicate isLeadByte);
