// The checker's command line: what to do, on which media, and how to report
// it. Every option of the check is a row of one table, which also gives
// --help its lines; a new option is a row and a field here.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "check/judge/finding.h"
#include "check/judge/medium_findings.h"
#include "check/print/report.h"

enum class Command { Check, Simulate, Explain, Help, Version };

struct CheckOptions {
  Command command = Command::Check;
  std::vector<std::string> media;  // folders and disc images, as given
  ReportFormat format = ReportFormat::Text;
  std::set<std::string> disabled;       // finding codes left out
  Severity failOn = Severity::Warning;  // the least severity that fails
  JudgeOptions judge;                   // how the findings are weighed
  // --simulate and --explain: the arguments after the command, as given.
  std::vector<const char*> rest;
};

// False with `error` set, in one line, on a usage error.
bool ParseCheckOptions(int argc, const char* const* argv, CheckOptions& options,
                       std::string& error);

// The --help lines of the check's options.
std::string CheckOptionsHelp();
