// Values the release's templates of install.dat and autorun.inf hold for a
// publisher to replace, found left as they are.
#pragma once

#include "check/judge/medium_findings.h"
#include "check/read/ini_reader.h"

// Notes each placeholder value `document` (the medium's `file`) still holds.
void NotePlaceholders(const IniDocument& document, const char* file, MediumFindings& findings);
