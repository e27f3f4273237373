// The installation probe.
#pragma once

// What one registry view holds of the product's uninstall entry.
enum class UninstallEntry { NotAsked, Missing, WithoutCommand, WithCommand };

// What the views held, for a caller that explains the answer.
struct InstallationFacts {
  UninstallEntry ownView = UninstallEntry::NotAsked;  // the 32-bit view under WOW64
  UninstallEntry view64 = UninstallEntry::NotAsked;   // asked when the own view has no command
};

// Whether the machine's uninstall list has an entry for `unInstKey` that
// holds an uninstall command.
bool IsProductInstalled(const char* unInstKey, InstallationFacts& facts);
