// The Windows build's reading of a program: what it is, from its bytes as
// the host build reads them, and its signature as the platform reads it
// (platform_signature.h). A medium here is always a folder of this machine
// (an image is mounted first), so the platform is handed the file itself.
#include <filesystem>

#include "check/read/platform_signature.h"
#include "check/read/program_identity.h"
#include "check/read/program_reader.h"

ProgramFacts ReadProgram(const MediumTree& medium, const std::string& file, FileStream* stream) {
  ProgramFacts facts;
  if (stream == nullptr) return facts;
  std::string headers;
  ProgramLayout layout;
  facts.identity = ReadProgramIdentity(*stream, headers, layout);
  const auto* folder = dynamic_cast<const FolderTree*>(&medium);
  if (folder == nullptr) {
    facts.signatureRead = false;
    return facts;
  }
  if (facts.identity.kind != ProgramKind::Windows || !facts.identity.malformed.empty()) {
    return facts;
  }
  TrustVerdict verdict;
  ReadPlatformSignature((folder->Root() / file).wstring().c_str(), facts.signature, verdict);
  return facts;
}
