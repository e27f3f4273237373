// What a program file on a medium is, read from its own bytes, and what its
// embedded Authenticode signature holds: the facts the checker judges and
// --explain prints. The host build reads the signature with OpenSSL; the
// Windows build asks the platform (CryptQueryObject, WinVerifyTrust). Both
// fill the same facts, and a differential test holds them to each other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the file's first bytes say it is, as CreateProcess will take it.
enum class ProgramKind {
  Unreadable,        // the file could not be read
  NotAProgram,       // no MZ header: text, a script, anything else
  InstallerPackage,  // a compound file (an .msi or .msp): Windows Installer's, not a program
  Dos,               // MZ without a newer header: a 16-bit DOS program
  Windows16,         // NE: a 16-bit Windows program
  Linear,            // LE or LX: a driver of old Windows, or an OS/2 program
  Windows,           // PE: a Windows program or library
};

// The PE format's IMAGE_FILE_MACHINE_* and IMAGE_SUBSYSTEM_* values that the
// judgements of a program name.
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineArmNt = 0x01C4;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMachineArm64 = 0xAA64;
constexpr std::uint16_t kSubsystemWindowsGui = 2;
constexpr std::uint16_t kSubsystemWindowsConsole = 3;

// A desktop program's subsystem, a window's or a console's: the only ones
// CreateProcess starts for a user.
constexpr bool IsDesktopSubsystem(std::uint16_t subsystem) {
  return subsystem == kSubsystemWindowsGui || subsystem == kSubsystemWindowsConsole;
}

struct ProgramIdentity {
  ProgramKind kind = ProgramKind::Unreadable;
  std::uint16_t machine = 0;    // IMAGE_FILE_HEADER.Machine (IMAGE_FILE_MACHINE_*)
  bool pe32Plus = false;        // a 64-bit optional header
  std::uint16_t subsystem = 0;  // IMAGE_SUBSYSTEM_*
  bool library = false;         // IMAGE_FILE_DLL
  // Why the headers cannot be trusted: cut short, an offset past the end, an
  // absurd count. Empty when they are sound.
  std::string malformed;
};

enum class TimeStampKind { None, Rfc3161, Countersignature };

// The embedded signature, as Windows checks it before a program runs.
struct SignatureFacts {
  bool embedded = false;        // a certificate table holding a PKCS #7 SignedData
  bool intact = false;          // the Authenticode digest, recomputed, equals the signed one
  std::string digestAlgorithm;  // "SHA-256", "SHA-1", ... or the OID when unknown
  TimeStampKind timeStamp = TimeStampKind::None;
  std::string timeStampTime;  // UTC, "YYYY-MM-DD hh:mm:ss"; empty without a time stamp
  std::string signer;         // the signing certificate's subject (its common name)
  std::string issuer;         // its issuer's common name
  std::string validFrom;      // its validity, UTC, "YYYY-MM-DD hh:mm:ss"
  std::string validTo;
  int signatures = 0;  // signatures on the file, nested ones counted
  // The signer's own signature over what it signed holds (its certificate's
  // chain not judged: no root is known here).
  bool verified = false;
  bool timeStampVerified = false;  // the time stamp's signature and imprint hold
  // The nested signatures' digest algorithms, as digestAlgorithm names them.
  std::vector<std::string> nestedDigestAlgorithms;
  // Why the signature could not be read or checked; empty when it could.
  std::string problem;
};

struct ProgramFacts {
  ProgramIdentity identity;
  SignatureFacts signature;
  // False where this build did not read the signature: its findings are
  // then left out rather than guessed.
  bool signatureRead = true;
};
