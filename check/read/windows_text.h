// Text of Windows' own, as the checker prints it: UTF-8, whatever the
// system's code page (Windows build).
#pragma once

#include <string>

// UTF-8 of wide text, and of text in the ANSI code page.
std::string Utf8(const wchar_t* text);
std::string Utf8FromAnsi(const char* text);
