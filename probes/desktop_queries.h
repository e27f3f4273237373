// Small questions to the desktop: message boxes, the current directory,
// windows by title and the code page's lead bytes.
#pragma once

#include "launcher/fixed_text.h"

// A modal box with no owner, an OK button and no icon.
void ShowMessage(const char* text, const char* caption);

// False when the directory cannot be had or does not fit 259 characters.
bool GetCurrentDir(PlatformPath& directory);

// Whether a top-level window carries exactly this title.
bool IsWindowTitlePresent(const char* title);

// The system code page's lead-byte test.
bool IsSystemLeadByte(unsigned char leadCandidate);
