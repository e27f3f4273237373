// What every judgement of a medium shares: the medium's tree, whether it is a
// folder before mastering or a disc image, what a disc image's other name
// sets tell of a name missing from it, the paths the medium's files name,
// and the findings so far.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "check/judge/finding.h"
#include "check/read/medium_tree.h"

// The configuration file's name, as findings name it.
constexpr char kInstallDat[] = "install.dat";

// Bigger install.dat files are checked in their first this many bytes only.
constexpr std::size_t kInstallDatLimit = std::size_t{1} << 20;

// A folder is checked before it is mastered (its names are not yet cut, and
// it may become a USB stick); an image is what the pressed disc will hold.
enum class MediumKind { Folder, DiscImage };

// Why a name that the medium's tree lacks is missing, when more can be said
// than that: the finding's code, problem and action. The consequence stays
// the one of the name's own check.
struct MissingName {
  std::string code;
  std::string problem;
  std::string action;
};
using MissingNameExplainer = std::function<std::optional<MissingName>(const std::string& name)>;

// How the publisher asked for the medium to be judged.
struct JudgeOptions {
  // The programs are signed later in the pipeline: findings about their
  // signatures are notes, so that everything else can be checked first.
  bool signatureFindingsAsNotes = false;
};

// A path of the medium that install.dat or autorun.inf names, and where.
struct NamedPath {
  std::string file;
  std::string section;
  std::string key;
  int line = 0;
  std::string path;
};

class MediumFindings {
 public:
  MediumFindings(const MediumTree& medium, MediumKind kind, const MissingNameExplainer& explain,
                 const JudgeOptions& options = {})
      : medium_(medium), kind_(kind), explain_(explain), options_(options) {}

  const MediumTree& Medium() const { return medium_; }
  MediumKind Kind() const { return kind_; }
  const JudgeOptions& Options() const { return options_; }

  // The finding added, for a caller that knows more (its line).
  Finding& Add(Severity severity, std::string code, const std::string& file,
               const std::string& section, const std::string& key, std::string problem,
               std::string consequence, std::string action);
  // A name the medium lacks: what its other name sets tell of it, when they
  // tell something; else the plain finding.
  Finding& AddMissing(Severity severity, const char* code, const std::string& file,
                      const std::string& section, const std::string& key, const std::string& name,
                      std::string problem, std::string consequence, std::string action);
  // "NAME is missing at the medium's root", and the folder one down that
  // holds it, for a medium mastered one folder too high.
  std::string MissingAtRoot(const char* name) const;

  // Paths of the medium's own files, as written, for the checks of names.
  void Name(NamedPath path) { named_.push_back(std::move(path)); }
  const std::vector<NamedPath>& Named() const { return named_; }

  std::vector<Finding>& List() { return findings_; }
  std::vector<Finding> Take() { return std::move(findings_); }

 private:
  const MediumTree& medium_;
  MediumKind kind_;
  const MissingNameExplainer& explain_;
  JudgeOptions options_;
  std::vector<NamedPath> named_;
  std::vector<Finding> findings_;
};
