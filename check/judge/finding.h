// A finding: what is wrong with a medium, where, what the launcher (or
// Windows) then does, and what to do about it.
#pragma once

#include <string>

enum class Severity { Error, Warning, Note };

// "error", "warning" or "note", as every report writes it.
inline const char* SeverityName(Severity severity) {
  return severity == Severity::Error ? "error" : severity == Severity::Warning ? "warning" : "note";
}

struct Finding {
  Severity severity;
  std::string code;  // short name, explained by --help and the publishers' guide
  std::string file;
  std::string section;  // may be empty
  std::string key;      // may be empty
  std::string problem;
  std::string consequence;  // what the launcher then does
  std::string action;       // what to do
  int line = 0;             // the line in `file`; 0 when unknown
  std::string medium = {};  // the folder or image as the command line named it
};
