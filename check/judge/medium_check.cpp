// The checks of a medium: each judgement in turn, on a folder or on the tree
// of a disc image. Every finding says where, what, what the launcher will do
// about it, and what to do.
#include "check/judge/medium_check.h"

#include <system_error>

#include "check/judge/autorun_inf.h"
#include "check/judge/install_dat.h"
#include "check/judge/path_names.h"
#include "check/judge/programs.h"

namespace fs = std::filesystem;

std::vector<Finding> CheckMedium(const MediumTree& medium, MediumKind kind,
                                 const MissingNameExplainer& explain, const JudgeOptions& options) {
  MediumFindings findings(medium, kind, explain, options);
  JudgeInstallDat(findings);
  JudgeAutorunInf(findings);
  // An image's names are what mastering made of them: the image's own
  // checks tell of those.
  if (kind == MediumKind::Folder) JudgePathNames(findings);
  JudgePrograms(findings);
  return findings.Take();
}

std::vector<Finding> CheckMedium(const fs::path& medium, const JudgeOptions& options) {
  std::error_code error;
  if (!fs::is_directory(medium, error)) {
    return {{Severity::Error, "no-medium", "", "", "",
             "the medium folder does not exist or is not a folder", "there is nothing to check",
             "give the folder that holds install.dat and autorun.exe"}};
  }
  fs::directory_iterator listing(medium, error);
  if (error) {
    return {{Severity::Error, "unreadable", "", "", "", "the medium folder cannot be read",
             "the launcher could not read install.dat from it either", "make the folder readable"}};
  }
  return CheckMedium(FolderTree(medium), MediumKind::Folder, nullptr, options);
}
