// Text as a JSON string: quoted, escaped, and valid UTF-8 whatever the bytes.
#pragma once

#include <string>
#include <string_view>

// Bytes that are no valid UTF-8 (a value of install.dat in the system code
// page) are taken as Windows-1252 characters.
std::string JsonString(std::string_view text);
