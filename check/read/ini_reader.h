// A reader of install.dat that gives the launcher's keys exactly the values
// the platform's initialization-file reader gives them (1024-character area,
// empty default), and keeps what the checker needs to point at: line numbers,
// every section and key in file order, duplicates included.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct IniEntry {
  std::u32string name;   // as written, trimmed; may hold NULs
  std::u32string value;  // as written, trimmed; may hold NULs
  bool hasEquals = false;
  int line = 0;
};

struct IniSection {
  std::u32string name;  // between the brackets, untrimmed; empty before any header
  bool hasHeader = false;
  int line = 0;
  std::vector<IniEntry> entries;
};

// How Windows reads the file: as ANSI bytes, or as UTF-16 LE after its mark.
// Files that begin with a UTF-8 mark or with the UTF-16 BE mark are read as
// ANSI too, the mark included; the encoding says which mark was there.
enum class IniEncoding { Ansi, Utf8Bom, Utf16Le, Utf16Be };

struct IniDocument {
  IniEncoding encoding = IniEncoding::Ansi;
  std::vector<IniSection> sections;  // sections[0] holds keys before any header
};

// The most characters a value can have as the launcher reads it.
constexpr std::size_t kValueCapacity = 1023;

IniDocument ParseIni(std::string_view bytes);

// The file's text is held as characters, as the platform holds it: bytes of
// the system code page (taken as Windows-1252) mapped one to one, or the
// characters of a UTF-16 LE file. Narrow gives them back as the launcher sees
// them: up to a NUL, in the code page, '?' for what it cannot hold.
std::string Narrow(std::u32string_view text);

// The text without the ASCII blanks (and ^Z) the platform drops around lines,
// names and values.
std::u32string_view TrimIniBlanks(std::u32string_view text);

// A line the checker takes for a comment, or an empty name: the reader keeps
// it as a key, but no lookup can match it.
bool IsIniComment(const IniEntry& entry);

// Names as the platform compares them: up to a NUL, letter case ignored.
bool SameIniName(std::u32string_view written, std::string_view wanted);

// The first section of that name: the only one the platform looks in.
const IniSection* FindIniSection(const IniDocument& document, std::string_view name);
// The first key of that name in `section`.
const IniEntry* FindIniEntry(const IniSection& section, std::string_view key);

// What the platform hands back for a stored value: cut at a NUL, one pair of
// matching surrounding quotes dropped, at most kValueCapacity characters.
std::string ReturnedValue(std::u32string_view stored);

// The value of `key` in `section` as the launcher gets it; empty when missing.
std::string ReadIniValue(const IniDocument& document, std::string_view section,
                         std::string_view key);
