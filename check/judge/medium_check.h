// The checks of a medium: install.dat as the launcher reads it, the programs
// it names, and autorun.inf, on a folder or on the tree of a disc image.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "check/read/medium_tree.h"

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

// Why a name that the medium's tree lacks is missing, when more can be said
// than that: the finding's code, problem and action. The consequence stays
// the one of the name's own check.
struct MissingName {
  std::string code;
  std::string problem;
  std::string action;
};
using MissingNameExplainer = std::function<std::optional<MissingName>(const std::string& name)>;

// A folder: it must exist and be readable.
std::vector<Finding> CheckMedium(const std::filesystem::path& medium);
std::vector<Finding> CheckMedium(const MediumTree& medium,
                                 const MissingNameExplainer& explain = nullptr);

// 1 when a finding is an error or a warning, else 0: the checker's exit status.
int FindingsStatus(const std::vector<Finding>& findings);

// One line: severity, file, section and key, problem, consequence, action.
std::string FormatFinding(const Finding& finding);

// The --help text's list of findings.
const char* FindingsHelp();
