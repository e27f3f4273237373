// How the user's stored class path joins the launcher's own CLASSPATH.
#pragma once

#include "launcher/fixed_text.h"

// The most an environment variable's value can hold: 32,767 characters with
// its terminator, so 32,766 of text.
using EnvironmentText = FixedText<32766>;

// Decides the new CLASSPATH: returns false when it stays as it is (the stored
// class path already occurs in it, or the joined text would not fit a
// variable); otherwise `joined` is the current text followed directly by the
// stored one.
bool JoinClassPath(const char* current, const char* stored, EnvironmentText& joined);
