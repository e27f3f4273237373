// The Windows build's reading of a program: what it is, from its bytes as
// the host build reads them. Its signature is the platform's to judge
// (CryptQueryObject, WinVerifyTrust), not read here: until that reading is
// wired in, the signature's findings are left out on this build.
#include "check/read/program_identity.h"
#include "check/read/program_reader.h"

ProgramFacts ReadProgram(const MediumTree&, const std::string&, FileStream* stream) {
  ProgramFacts facts;
  facts.signatureRead = false;
  if (stream == nullptr) return facts;
  std::string headers;
  ProgramLayout layout;
  facts.identity = ReadProgramIdentity(*stream, headers, layout);
  return facts;
}
