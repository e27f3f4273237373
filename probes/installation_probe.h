// The installation probe.
#pragma once

// Whether the machine's uninstall list has an entry for `unInstKey` that
// holds an uninstall command.
bool IsProductInstalled(const char* unInstKey);
