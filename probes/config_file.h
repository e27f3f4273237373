// The configuration file install.dat, read through the platform's own
// initialization-file reader.
#pragma once

#include "launcher/fixed_text.h"
#include "platform/owners.h"

// Opens the file for shared reading; the returned owner keeps it open for the
// launcher's lifetime. Present exactly when the owner is valid.
UniqueFile OpenConfigFile(const char* configFilePath);

// The value of `key` in `section`, cut to 1023 characters; empty when missing.
void ReadConfigValue(const char* section, const char* key, const char* configFilePath,
                     ValueText& value);
