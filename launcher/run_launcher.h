// The launcher's whole run: from the command-line tail and the machine's
// answers to the one program it starts or the one message it shows.
#pragma once

#include "launcher/launcher_operations.h"

// Always returns 0, the program's exit code.
int RunLauncher(const char* commandLineTail, LauncherOperations& operations);
