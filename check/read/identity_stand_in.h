// What a program file is, from its first headers (Windows build only): a
// stand-in for the checker's portable program reader until --explain is
// wired to it.
#pragma once

#include "check/read/program_facts.h"

ProgramIdentity ReadIdentityStandIn(const wchar_t* path);
