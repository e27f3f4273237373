// The findings of one medium, and the two ways a missing name is told.
#include "check/judge/medium_findings.h"

Finding& MediumFindings::Add(Severity severity, std::string code, const std::string& file,
                             const std::string& section, const std::string& key,
                             std::string problem, std::string consequence, std::string action) {
  findings_.push_back({severity, std::move(code), file, section, key, std::move(problem),
                       std::move(consequence), std::move(action)});
  return findings_.back();
}

Finding& MediumFindings::AddMissing(Severity severity, const char* code, const std::string& file,
                                    const std::string& section, const std::string& key,
                                    const std::string& name, std::string problem,
                                    std::string consequence, std::string action) {
  std::optional<MissingName> why = explain_ ? explain_(name) : std::nullopt;
  if (why) {
    return Add(severity, std::move(why->code), file, section, key, std::move(why->problem),
               std::move(consequence), std::move(why->action));
  }
  return Add(severity, code, file, section, key, std::move(problem), std::move(consequence),
             std::move(action));
}

std::string MediumFindings::MissingAtRoot(const char* name) const {
  std::string folder;
  std::vector<TreeEntry> entries;
  if (medium_.List("", entries)) {
    for (const TreeEntry& entry : entries) {
      if (entry.kind == EntryKind::Folder && FindInTree(medium_, entry.name + "/" + name)) {
        folder = entry.name;
        break;
      }
    }
  }
  return std::string(name) + " is missing at the medium's root" +
         (folder.empty() ? "" : " (there is one in " + folder + "\\, one folder down)");
}
