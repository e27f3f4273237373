// What each finding's code means, for --help.
#pragma once

// The --help text's list of findings.
const char* FindingsHelp();
