// Text between the ANSI code page, UTF-8 and UTF-16. The recorder writes what
// a started program saw in UTF-8, so that no character is lost on the way;
// tests compare with it in UTF-8 and hand the system UTF-16.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring WideFrom(const std::string& text, UINT codePage) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(codePage, 0, text.data(),
                                                      static_cast<int>(text.size()), &wide[0],
                                                      static_cast<int>(wide.size()))));
  return wide;
}

inline std::string NarrowFrom(const std::wstring& wide, UINT codePage) {
  std::string text(wide.size() * 4, '\0');
  text.resize(static_cast<size_t>(
      WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0],
                          static_cast<int>(text.size()), nullptr, nullptr)));
  return text;
}

inline std::wstring WideFromUtf8(const std::string& text) { return WideFrom(text, CP_UTF8); }
inline std::string Utf8From(const std::wstring& wide) { return NarrowFrom(wide, CP_UTF8); }
inline std::string Utf8FromAnsi(const std::string& text) {
  return Utf8From(WideFrom(text, CP_ACP));
}
