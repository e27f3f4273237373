// The checks of a medium: install.dat as the launcher reads it, the programs
// it names, autorun.inf, and before mastering the names themselves, on a
// folder or on the tree of a disc image.
#pragma once

#include <filesystem>
#include <vector>

#include "check/judge/finding.h"
#include "check/judge/medium_findings.h"
#include "check/read/medium_tree.h"

// A folder: it must exist and be readable.
std::vector<Finding> CheckMedium(const std::filesystem::path& medium,
                                 const JudgeOptions& options = {});
std::vector<Finding> CheckMedium(const MediumTree& medium, MediumKind kind,
                                 const MissingNameExplainer& explain = nullptr,
                                 const JudgeOptions& options = {});
