// Windows' judgement of a start, in the order Windows makes it: CreateProcess
// first takes the file for a program of this machine or refuses it; only a
// program it would start is then put to Smart App Control.
#include "check/flows/start_prediction.h"

#include <cstdio>

namespace {

std::string MachineName(std::uint16_t machine) {
  switch (machine) {
    case kMachineI386:
      return "x86 (32-bit)";
    case kMachineAmd64:
      return "x64";
    case kMachineArm64:
      return "ARM64";
    case kMachineArmNt:
      return "ARM (32-bit)";
    default:
      char name[24];
      std::snprintf(name, sizeof name, "machine 0x%04X", machine);
      return name;
  }
}

// Whether Windows running natively on `native` runs programs made for
// `machine`: x86 ones everywhere (WOW64), x64 ones on x64 and, emulated, on
// ARM64; ARM64 and 32-bit ARM ones on ARM64 only.
bool RunsOn(std::uint16_t machine, std::uint16_t native) {
  switch (machine) {
    case kMachineI386:
      return true;
    case kMachineAmd64:
      return native == kMachineAmd64 || native == kMachineArm64;
    case kMachineArm64:
    case kMachineArmNt:
      return native == kMachineArm64;
    default:
      return false;
  }
}

StartPrediction Fails(const std::string& why) { return {StartOutcome::Fails, why}; }

// Why CreateProcess refuses the file on this machine; empty when it takes it.
std::string Refusal(const ProgramIdentity& identity, std::uint16_t native) {
  switch (identity.kind) {
    case ProgramKind::Unreadable:
      return "";  // not known here: the start is not predicted to fail
    case ProgramKind::NotAProgram:
      return "it is not a Windows program (no program header): CreateProcess cannot start it";
    case ProgramKind::InstallerPackage:
      return "it is a Windows Installer package, not a program: CreateProcess cannot start it "
             "(name the setup program that installs it)";
    case ProgramKind::Dos:
    case ProgramKind::Windows16:
      // 32-bit Windows runs them where its 16-bit support (NTVDM) is installed.
      if (native == kMachineI386) return "";
      return identity.kind == ProgramKind::Dos
                 ? "it is a 16-bit DOS program, which 64-bit Windows cannot run"
                 : "it is a 16-bit Windows program, which 64-bit Windows cannot run";
    case ProgramKind::Linear:
      return "it is an old driver or OS/2 program (LE/LX), which Windows cannot start";
    case ProgramKind::Windows:
      break;
  }
  if (!identity.malformed.empty()) {
    return "its headers are damaged (" + identity.malformed + "): CreateProcess cannot start it";
  }
  if (identity.library)
    return "it is a library (DLL), not a program: CreateProcess cannot start it";
  if (!RunsOn(identity.machine, native)) {
    return "it is a program for " + MachineName(identity.machine) + ", which this " +
           MachineName(native) + " Windows cannot run";
  }
  if (!IsDesktopSubsystem(identity.subsystem)) {
    return "its subsystem (" + std::to_string(identity.subsystem) +
           ") is neither a window nor a console program's: CreateProcess cannot start it";
  }
  return "";
}

}  // namespace

StartPrediction PredictStart(const ProgramIdentity& identity, std::uint16_t nativeMachine,
                             bool validlySigned, SmartAppControlState smartAppControl) {
  const std::string refusal = Refusal(identity, nativeMachine);
  if (!refusal.empty()) return Fails(refusal);
  if (validlySigned) {
    return {StartOutcome::Starts,
            smartAppControl == SmartAppControlState::On
                ? "it is validly signed (Smart App Control wants its root to be one of "
                  "Microsoft's trusted roots)"
                : "it is validly signed"};
  }
  switch (smartAppControl) {
    case SmartAppControlState::On:
      return {StartOutcome::Blocked,
              "Smart App Control is on and the program is not validly signed (unless "
              "Microsoft's cloud service knows it as reputable, which cannot be asked here)"};
    case SmartAppControlState::Evaluation:
      return {StartOutcome::MayBeBlocked,
              "Smart App Control is in evaluation: it lets the start go ahead, but once it turns "
              "itself on it blocks a program that is not validly signed"};
    case SmartAppControlState::Unknown:
      return {StartOutcome::Starts,
              "Smart App Control's state is not one Windows documents: the start is predicted "
              "as without it"};
    case SmartAppControlState::Off:
    case SmartAppControlState::NotOnThisWindows:
      break;
  }
  return {StartOutcome::Starts, "no Smart App Control stands in its way"};
}
