// What each finding's code means, for --help.
#pragma once

#include <string>

// The --help text's list of findings, from the table of codes.
std::string FindingsHelp();
