// Prints the host build's signature facts for every file of a folder, one
// line each in the differential's form (signature_line.h), read as the
// checker reads a medium's programs.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "check/read/medium_tree.h"
#include "check/read/program_reader.h"
#include "tests/check/signature_line.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: program_signature_print FOLDER\n");
    return 2;
  }
  const FolderTree folder(argv[1]);
  std::vector<TreeEntry> entries;
  if (!folder.List("", entries)) {
    std::fprintf(stderr, "no such folder\n");
    return 1;
  }
  std::vector<std::string> names;
  for (const TreeEntry& entry : entries) {
    if (entry.kind == EntryKind::File) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::unique_ptr<FileStream> stream = folder.Open(name);
    const ProgramFacts facts = ReadProgram(folder, name, stream.get());
    std::printf("%s\n", SignatureLine(name, facts.signature).c_str());
  }
  return 0;
}
