// A finding: what is wrong with a medium, where, what the launcher (or
// Windows) then does, and what to do about it.
#pragma once

#include <string>

enum class Severity { Error, Warning, Note };

struct Finding {
  Severity severity;
  std::string code;  // short name, explained by --help
  std::string file;
  std::string section;  // may be empty
  std::string key;      // may be empty
  std::string problem;
  std::string consequence;  // what the launcher then does
  std::string action;       // what to do
};
