// What Windows will make of a start the launcher asks for, on this machine,
// before any of the launcher's own logic (--explain, Windows build): the
// program's identity and signature, WinVerifyTrust's verdict, Smart App
// Control's state, the internet's mark, and what they come to. Only read:
// nothing is shown, started or written, and nothing reaches the network.
#pragma once

#include <string>

#include "check/flows/start_prediction.h"
#include "check/read/internet_mark.h"
#include "check/read/platform_signature.h"
#include "check/read/smart_app_control.h"

struct StartTrust {
  ProgramIdentity identity;
  SignatureFacts signature;
  TrustVerdict verdict;
  SmartAppControl smartAppControl;
  InternetMark mark;
  StartPrediction prediction;
};

StartTrust JudgeStart(const wchar_t* program);

// The start step's answer for what Windows will do.
std::string StartAnswer(const StartPrediction& prediction);
// The facts, as lines under the start step.
void PrintStartTrust(const StartTrust& trust);
// For the outcome line: what Windows does instead of the start of `program`
// (UTF-8), when it blocks or refuses it.
std::string RefusedStart(const StartPrediction& prediction, const std::string& program);
