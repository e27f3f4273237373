// What every judgement of a medium shares: the medium's tree, what a disc
// image's other name sets tell of a name missing from it, and the findings
// so far.
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

// Why a name that the medium's tree lacks is missing, when more can be said
// than that: the finding's code, problem and action. The consequence stays
// the one of the name's own check.
struct MissingName {
  std::string code;
  std::string problem;
  std::string action;
};
using MissingNameExplainer = std::function<std::optional<MissingName>(const std::string& name)>;

// How the publisher asked for the medium to be checked.
struct CheckOptions {
  // The programs are signed later in the pipeline: findings about their
  // signatures are notes, so that everything else can be checked first.
  bool signatureFindingsAsNotes = false;
};

class MediumFindings {
 public:
  MediumFindings(const MediumTree& medium, const MissingNameExplainer& explain,
                 const CheckOptions& options = {})
      : medium_(medium), explain_(explain), options_(options) {}

  const MediumTree& Medium() const { return medium_; }
  const CheckOptions& Options() const { return options_; }

  void Add(Severity severity, std::string code, const std::string& file, const std::string& section,
           const std::string& key, std::string problem, std::string consequence,
           std::string action);
  // A name the medium lacks: what its other name sets tell of it, when they
  // tell something; else the plain finding.
  void AddMissing(Severity severity, const char* code, const std::string& file,
                  const std::string& section, const std::string& key, const std::string& name,
                  std::string problem, std::string consequence, std::string action);
  // "NAME is missing at the medium's root", and the folder one down that
  // holds it, for a medium mastered one folder too high.
  std::string MissingAtRoot(const char* name) const;

  std::vector<Finding>& List() { return findings_; }
  std::vector<Finding> Take() { return std::move(findings_); }

 private:
  const MediumTree& medium_;
  const MissingNameExplainer& explain_;
  CheckOptions options_;
  std::vector<Finding> findings_;
};
