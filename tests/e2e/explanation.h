// autorun-check --explain run on the machine state of an end-to-end case,
// before the launcher: what it predicts, and what it left as it found.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/message_boxes.h"

// What the explanation says the launcher will do, from its output lines.
struct Prediction {
  DWORD exitCode = 0;
  std::string output;  // all of it, for failure messages
  std::vector<SeenMessageBox> boxes;
  std::string program;  // empty: nothing starts
  std::string cwd;
  std::string classPath;  // as a started program's record gives it: "(unset)" when unset
  bool waits = false;
  std::string verdict;  // the first line's, after "verdict: "
  std::string outcome;  // the last line's, after "outcome: "
};

// Runs the checker beside this test program (`checker`, a file name) with
// `arguments` from `directory`, its output (standard output and error
// together) captured.
Prediction RunChecker(const std::string& arguments, const std::string& directory,
                      const std::string& checker = "autorun-check.exe");

// What an explanation must leave as it found: the medium's files, the
// registry values the cases set (the user's environment, and the uninstall
// entry `unInstKey`), the processes outside the system folder, and the guard
// (absent unless a launcher holds it).
struct MachineSnapshot {
  static MachineSnapshot Take(const std::string& unInstKey);
  bool operator==(const MachineSnapshot& other) const {
    return medium == other.medium && registry == other.registry && processes == other.processes &&
           guardHeld == other.guardHeld;
  }
  std::set<std::string> medium;       // name, size and write time of every file
  std::vector<std::string> registry;  // the values, as bytes
  std::set<std::string> processes;    // id and file name
  bool guardHeld = false;
};
