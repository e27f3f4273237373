// How the user's stored class path joins the launcher's own CLASSPATH.
#pragma once

#include "launcher/fixed_text.h"

// The most an environment variable's value can hold: 32,767 characters with
// its terminator, so 32,766 of text. Wide, as the environment and the stored
// value are: a class-path entry in any script passes through unchanged.
using EnvironmentText = WideText<32766>;
// The same in the ANSI code page, for the packagers' simulator.
using AnsiEnvironmentText = FixedText<32766>;

// Decides the new CLASSPATH: returns false when it stays as it is (the stored
// class path already occurs in it, or the joined text would not fit a
// variable); otherwise `joined` is the current text followed directly by the
// stored one.
bool JoinClassPath(const wchar_t* current, const wchar_t* stored, EnvironmentText& joined);
bool JoinClassPath(const char* current, const char* stored, AnsiEnvironmentText& joined);
