// The facts of a program on a medium, read from its bytes: what it is, and
// what its embedded signature holds. The host build reads the signature
// itself (OpenSSL); the Windows build asks the platform.
#pragma once

#include <string>

#include "check/read/file_stream.h"
#include "check/read/medium_tree.h"
#include "check/read/program_facts.h"

// `stream` is `file` opened on `medium` (null when it could not be); the
// medium may open it again where a second pass is needed.
ProgramFacts ReadProgram(const MediumTree& medium, const std::string& file, FileStream* stream);
