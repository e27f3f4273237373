// Windows' judgement of the launcher's start on this machine, read and
// printed for the explanation: the program file's identity, its signature
// with WinVerifyTrust's verdict, Smart App Control's state, the internet's
// mark, and the prediction they come to (start_prediction.h).
#include "check/flows/start_trust.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "check/flows/trace.h"
#include "check/read/program_identity.h"
#include "platform/system_library.h"

namespace {

constexpr char kPolicyKey[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\CI\\Policy";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
void Fact(const std::string& fact) { TraceFact(fact); }

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", value);
  return text;
}

// This Windows' own machine: IsWow64Process2 where it exists (it also tells
// ARM64 apart under emulation), else the native system information.
std::uint16_t NativeMachine() {
  const auto isWow64Process2 =
      SystemFunction<BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*)>("KERNEL32.DLL", "IsWow64Process2");
  USHORT process = 0;
  USHORT native = 0;
  if (isWow64Process2 != nullptr && isWow64Process2(GetCurrentProcess(), &process, &native)) {
    return native;
  }
  SYSTEM_INFO system;
  GetNativeSystemInfo(&system);
  switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
      return IMAGE_FILE_MACHINE_AMD64;
    case PROCESSOR_ARCHITECTURE_ARM64:
      return kMachineArm64;
    default:
      return IMAGE_FILE_MACHINE_I386;
  }
}

// What the file is, from its headers, read as the checker reads a medium's.
ProgramIdentity IdentityOf(const wchar_t* program) {
  const std::filesystem::path path(program);
  std::ifstream file(path, std::ios::binary);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!file || error) return {};
  std::string headers(kHeadersWindow, '\0');
  file.read(headers.data(), static_cast<std::streamsize>(headers.size()));
  if (file.bad()) return {};
  headers.resize(static_cast<std::size_t>(file.gcount()));
  ProgramLayout layout;
  return ReadProgramIdentity(headers, size, layout);
}

std::string VerdictName(long result) {
  static const struct {
    long code;
    const char* name;
  } kNames[] = {
      {S_OK, "S_OK: trusted on this machine"},
      {TRUST_E_NOSIGNATURE, "TRUST_E_NOSIGNATURE: not signed"},
      {TRUST_E_BAD_DIGEST, "TRUST_E_BAD_DIGEST: changed after it was signed"},
      {TRUST_E_SUBJECT_FORM_UNKNOWN, "TRUST_E_SUBJECT_FORM_UNKNOWN: not a file that is signed"},
      {CERT_E_UNTRUSTEDROOT, "CERT_E_UNTRUSTEDROOT: its root is not trusted here"},
      {CERT_E_CHAINING, "CERT_E_CHAINING: its certificate chains to no root known here"},
      {CERT_E_EXPIRED, "CERT_E_EXPIRED: a certificate expired, and no time stamp holds it"},
      {CERT_E_REVOKED, "CERT_E_REVOKED: a certificate was revoked"},
      {CERT_E_WRONG_USAGE, "CERT_E_WRONG_USAGE: the certificate is not for code signing"},
      {TRUST_E_EXPLICIT_DISTRUST, "TRUST_E_EXPLICIT_DISTRUST: distrusted on this machine"},
      {TRUST_E_SUBJECT_NOT_TRUSTED, "TRUST_E_SUBJECT_NOT_TRUSTED: not trusted here"},
      {TRUST_E_TIME_STAMP, "TRUST_E_TIME_STAMP: its time stamp does not hold"},
      {CRYPT_E_SECURITY_SETTINGS, "CRYPT_E_SECURITY_SETTINGS: refused by this machine's policy"},
  };
  for (const auto& known : kNames) {
    if (known.code == result)
      return Hex(static_cast<unsigned long>(result)) + " (" + known.name + ")";
  }
  return Hex(static_cast<unsigned long>(result));
}

std::string IdentityText(const ProgramIdentity& identity) {
  switch (identity.kind) {
    case ProgramKind::Unreadable:
      return "its bytes cannot be read here";
    case ProgramKind::NotAProgram:
      return "not a Windows program (no program header)";
    case ProgramKind::InstallerPackage:
      return "a Windows Installer package (a compound file), not a program";
    case ProgramKind::Dos:
      return "a 16-bit DOS program (MZ, no newer header)";
    case ProgramKind::Windows16:
      return "a 16-bit Windows program (NE)";
    case ProgramKind::Linear:
      return "an old driver or OS/2 program (LE/LX)";
    case ProgramKind::Windows:
      break;
  }
  char machine[8];
  std::snprintf(machine, sizeof machine, "%04X", identity.machine);
  const char* subsystem = identity.subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI   ? "window"
                          : identity.subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI ? "console"
                                                                              : "other";
  return std::string("a Windows ") + (identity.library ? "library" : "program") + " (" +
         (identity.pe32Plus ? "PE32+" : "PE32") + ", machine 0x" + machine + ", " + subsystem +
         " subsystem " + std::to_string(identity.subsystem) + ")" +
         (identity.malformed.empty() ? "" : "; " + identity.malformed);
}

void PrintSignature(const SignatureFacts& facts, const TrustVerdict& verdict) {
  if (!facts.embedded) {
    Fact("signature: none embedded" + (facts.problem.empty() ? "" : " (" + facts.problem + ")"));
  } else {
    Fact("signature: " + facts.digestAlgorithm + ", " +
         (facts.intact ? "intact" : "not intact (changed after signing, or not checked)") +
         ", signed by " + Quoted(facts.signer) + ", issued by " + Quoted(facts.issuer) +
         ", valid " + facts.validFrom + " to " + facts.validTo + "; " +
         std::to_string(facts.signatures) + " signature" + (facts.signatures == 1 ? "" : "s") +
         (facts.problem.empty() ? "" : " (" + facts.problem + ")"));
    const char* kinds[] = {"none (the signature ends with its certificate)", "RFC 3161",
                           "countersignature"};
    Fact(std::string("time stamp: ") + kinds[static_cast<int>(facts.timeStamp)] +
         (facts.timeStampTime.empty() ? "" : ", " + facts.timeStampTime + " UTC"));
  }
  Fact("WinVerifyTrust: " + VerdictName(verdict.result) +
       " (generic verify, no UI, no revocation check, cached URLs only)");
}

void PrintSmartAppControl(const SmartAppControl& control) {
  const std::string place =
      std::string(kPolicyKey) + ", VerifiedAndReputablePolicyState, " + control.view;
  const std::string value = "VerifiedAndReputablePolicyState=" + std::to_string(control.value);
  switch (control.state) {
    case SmartAppControlState::NotOnThisWindows:
      Fact("Smart App Control: not on this Windows (no value at " + place + ")");
      return;
    case SmartAppControlState::Off:
      Fact("Smart App Control: off (" + value + ", " + place + ")");
      return;
    case SmartAppControlState::On:
      Fact("Smart App Control: on (" + value + ", " + place + ")");
      return;
    case SmartAppControlState::Evaluation:
      Fact("Smart App Control: evaluation (" + value + ", " + place + ")");
      return;
    case SmartAppControlState::Unknown:
      Fact("Smart App Control: unknown (" + value + " or another type, " + place + ")");
      return;
  }
}

std::string ZoneText(int zone) {
  if (zone < 0) return "none";
  return "ZoneId=" + std::to_string(zone) +
         (zone >= kInternetZone ? " (downloaded from the internet)" : " (not the internet's)");
}

void PrintMark(const InternetMark& mark) {
  Fact("the internet's mark on the program: " + ZoneText(mark.programZone) +
       (mark.programZone >= kInternetZone
            ? "; SmartScreen checks a start through the shell (when it asks for elevation)"
            : ""));
  switch (mark.backing) {
    case DriveBacking::NotAnImage:
      Fact("its drive " + mark.drive + ": no disc image backs it");
      return;
    case DriveBacking::Image:
      Fact("its drive " + mark.drive + ": the mounted image " + Quoted(mark.image) +
           ", whose mark is " + ZoneText(mark.imageZone) +
           (mark.imageZone >= kInternetZone ? ", handed on to the files on the drive" : ""));
      return;
    case DriveBacking::CannotTell:
      Fact("its drive " + mark.drive + ": whether a mounted image backs it cannot be told (" +
           mark.why + ")");
      return;
  }
}

}  // namespace

StartTrust JudgeStart(const wchar_t* program) {
  StartTrust trust;
  trust.identity = IdentityOf(program);
  ReadPlatformSignature(program, trust.signature, trust.verdict);
  trust.smartAppControl = ReadSmartAppControl();
  trust.mark = ReadInternetMark(program);
  trust.prediction = PredictStart(trust.identity, NativeMachine(),
                                  trust.verdict.asked && trust.verdict.result == S_OK,
                                  trust.smartAppControl.state);
  return trust;
}

std::string StartAnswer(const StartPrediction& prediction) {
  switch (prediction.outcome) {
    case StartOutcome::Starts:
      return "would start (nothing is started)";
    case StartOutcome::MayBeBlocked:
      return "would start (nothing is started); Smart App Control, in evaluation, may block it";
    case StartOutcome::Blocked:
      return "Windows blocks it (Smart App Control) and shows its own notice: nothing starts, "
             "the launcher ends silently";
    case StartOutcome::Fails:
      return "fails (Windows cannot start the file): nothing starts, silently";
  }
  return "?";
}

void PrintStartTrust(const StartTrust& trust) {
  Fact("program: " + IdentityText(trust.identity));
  PrintSignature(trust.signature, trust.verdict);
  PrintSmartAppControl(trust.smartAppControl);
  PrintMark(trust.mark);
  Fact("Windows: " + trust.prediction.why);
}

std::string RefusedStart(const StartPrediction& prediction, const std::string& program) {
  if (prediction.outcome == StartOutcome::Blocked) {
    return "Windows blocks the start of " + Quoted(program) + " and shows its own notice (" +
           prediction.why + ")";
  }
  return "the start of " + Quoted(program) + " fails: " + prediction.why;
}
