// The launcher's own decision flow run against a described machine: every
// operation it asks for is answered from the description and printed.
#pragma once

#include <optional>
#include <string>

#include "check/read/medium_tree.h"

struct MachineDescription {
  bool installed = false;
  bool setupWindow = false;
  bool productRunning = false;
  bool shortcutFound = true;
  bool shortcutResolves = true;
  std::string shortcutTarget = "C:\\Program Files\\Product\\product.exe";
  std::string shortcutDirectory = "C:\\Program Files\\Product";
  std::optional<std::string> storedClassPath;  // the user's stored CLASSPATH
  std::optional<std::string> classPath;        // the launcher's own CLASSPATH
  std::string tail;                            // the launcher's command-line tail
  std::string currentDirectory = "D:\\";       // the medium folder as the launcher sees it
  bool secondInstance = false;
  bool psapiMissingFunction = false;
};

// Runs the flow on the medium and returns the steps, one per line.
std::string Simulate(const MediumTree& medium, const MachineDescription& machine);

// Whether the steps Simulate returned start a program.
bool SimulationStarts(const std::string& steps);

// Parses the machine options from argv[first] on; false with `error` set when
// one is unknown or lacks its value.
bool ParseMachineOptions(int argc, const char* const* argv, int first, MachineDescription& machine,
                         std::string& error);

const char* MachineOptionsHelp();
