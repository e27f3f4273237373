// The checks of a medium folder: install.dat as the launcher reads it, the
// programs it names, and autorun.inf.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

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

// The configuration file's name, as findings name it.
constexpr char kInstallDat[] = "install.dat";

// Bigger install.dat files are checked in their first this many bytes only.
constexpr std::size_t kInstallDatLimit = std::size_t{1} << 20;

std::vector<Finding> CheckMedium(const std::filesystem::path& medium);

// One line: severity, file, section and key, problem, consequence, action.
std::string FormatFinding(const Finding& finding);

// The --help text's list of findings.
const char* FindingsHelp();

// Reads at most `limit` bytes; false when the file cannot be opened.
bool ReadFileStart(const std::filesystem::path& path, std::size_t limit, std::string& bytes,
                   bool& cut);

// The file that `relative` (backslashes or slashes) names below `root`,
// matching each name without regard to letter case; empty when none.
std::filesystem::path FindOnMedium(const std::filesystem::path& root, const std::string& relative);
