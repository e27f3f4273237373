// What Windows will do with the launcher's start of a program, before any of
// the launcher's own logic: whether the file can be started at all on this
// machine, and whether Smart App Control lets it. Portable: --explain feeds
// it this machine's facts; the host tests feed it every machine.
#pragma once

#include <cstdint>
#include <string>

#include "check/read/program_facts.h"

// Smart App Control's state, as HKLM\SYSTEM\CurrentControlSet\Control\CI\Policy
// holds it in VerifiedAndReputablePolicyState.
enum class SmartAppControlState {
  NotOnThisWindows,  // no such value: a Windows without Smart App Control
  Off,               // 0
  On,                // 1: it blocks what is not validly signed (or known as reputable)
  Evaluation,        // 2: it watches, and may turn itself on
  Unknown,           // another value, or another type
};

enum class StartOutcome {
  Starts,
  MayBeBlocked,  // Smart App Control in evaluation: noted, the start goes ahead
  Blocked,       // Smart App Control blocks it: Windows shows its own notice
  Fails,         // CreateProcess cannot start the file on this machine
};

struct StartPrediction {
  StartOutcome outcome = StartOutcome::Starts;
  std::string why;  // one clause, for the explanation's lines
};

// `nativeMachine`: this Windows' own IMAGE_FILE_MACHINE_* (x86, x64 or
// ARM64). `validlySigned`: WinVerifyTrust trusts the file's signature here.
StartPrediction PredictStart(const ProgramIdentity& identity, std::uint16_t nativeMachine,
                             bool validlySigned, SmartAppControlState smartAppControl);
