// The --help text's list of findings: every code, and what it means.
#include "check/print/findings_help.h"

const char* FindingsHelp() {
  return R"(Findings (error and warning make the exit status 1; notes do not):
  no-medium           the folder given does not exist or is not a folder
  no-install-dat      install.dat is missing: the launcher shows its path in a WARNING box
  unreadable          the medium folder, install.dat or autorun.inf cannot be read
  too-large           install.dat is over 1 MiB; only its start was checked
  unicode-file        install.dat is UTF-16 LE ("Unicode"); non-ASCII text reaches the
                      launcher in the system code page (note)
  utf8-mark-hides-section
                      install.dat begins with a UTF-8 byte-order mark on the line of a
                      section header: Windows reads the mark as part of that line, so
                      the section and its keys are invisible to the launcher (Wine
                      reads them: a test there passes)
  utf8-mark           the same mark before a comment, blank or key: harmless, but the
                      file is read as ANSI bytes, so non-ASCII text arrives wrong (note)
  utf16-be-file       install.dat is UTF-16 big-endian: Windows reads it as ANSI bytes
                      and finds no section (Wine reads it: a test there passes)
  no-config           no [Config] section: every Config key reads empty
  missing-key         a key the launcher reads is missing; it reads as empty:
  empty-key           the same for a key written without a value:
                        UnInstKey   the product always counts as not installed (error)
                        SetupPath   autorun on a machine without the product starts nothing (error)
                        SetupTitle  a running setup is not seen (warning)
                        ExeName     a running product is not seen; it may start twice (warning)
                        ProductLink the installed product is never started (error)
                        RunFirst, Installed  -a starts nothing (warning)
  no-such-program     SetupPath, RunFirst or Installed names no file below the medium's root
                      (names compared without regard to letter case): the start fails silently
  program-backslash   such a path begins with a backslash, which the root already ends in
  link-no-backslash   ProductLink does not begin with a backslash: the shortcut is not found
  link-not-lnk        ProductLink does not end in .lnk
  value-cut           a value of 1,024 characters or more: the launcher keeps 1,023
  nul-byte            a value holds a NUL byte: the launcher sees the text before it only
  uninstkey-too-long  UnInstKey over 971 characters: its subkey does not fit, never installed
  unread-section      keys in a section the launcher never reads, or before any section
  unknown-key         a key the launcher never reads in [Config] or [AppRun] (a likely typo)
  duplicate-section   a second [Config] or [AppRun]: only the first one is read
  duplicate-key       a key written twice: the first one is read
  no-equals           a launcher key written without '=': it reads as empty
  no-autorun-inf      autorun.inf is missing: the medium's automatic start does not run
                      the launcher
  autorun-inf-open    autorun.inf's [autorun] open= does not name autorun.exe
  no-launcher         open= names autorun.exe, but the medium's root holds none
Findings of the programs: open=, SetupPath, RunFirst and Installed (the programs the
launcher starts: errors), and every other .exe and .dll on the medium (warnings, one
finding per kind of fault, naming the programs):
  not-a-program       no MZ header (text, a script): CreateProcess cannot start it
  installer-package   a Windows Installer package: name its setup program instead
  16-bit-program      an MS-DOS or 16-bit Windows program (or LE/LX): 64-bit Windows
                      cannot run it
  malformed-program   its headers are cut short, point past its end or count absurdly
  not-startable       a library (DLL), or not a desktop program's subsystem
  program-unreadable  the file cannot be read
  x64-program         64-bit (x64) only: 32-bit Windows cannot run it (note)
  arm64-program       ARM64 only: x64 and 32-bit Windows cannot run it
  other-cpu           built for a CPU no Windows of today runs
  unsigned            no Authenticode signature: with Smart App Control on, Windows
                      blocks it (autorun.exe and SetupPath: error, nothing starts;
                      others: warning)
  signature-broken    the signature does not match the file (changed after signing) or
                      does not hold: Windows counts it as unsigned (the same severities)
  signature-expired   its certificate expired (or its time stamp lies outside its
                      validity): Windows counts it as unsigned (the same severities)
  no-time-stamp       signed without a time stamp: the signature dies with its certificate
  sha1-only           signed with SHA-1 only
  signer              who signed which programs; whether a given Windows trusts the
                      signer's root cannot be known here (note)
  several-signers     the programs have more than one signer (note)
  With --sign-later, unsigned, signature-broken, signature-expired, no-time-stamp and
  sha1-only are notes.
  The Windows build judges what the programs are; their signatures are the platform's.
Findings of a disc image (host build; the Windows build asks for it to be mounted):
  image-names         which names Windows reads: UDF where the image has a UDF volume,
                      else Joliet, else the 8.3 ISO 9660 names (note)
  no-joliet           neither Joliet nor UDF: every name is 8.3 upper case for Windows
  mastered-without-joliet
                      a name that install.dat or autorun.inf gives is on the image in
                      its Rock Ridge names only; Windows sees the 8.3 name
  cut-by-joliet       a name over 64 characters, cut by Joliet (without -joliet-long)
  cut-in-udf          the same cut in a bridge disc's UDF names
  rock-ridge-only     a name present only in the Rock Ridge names, which Windows ignores
  not-in-windows-names
                      a name in another of the image's name sets, not in Windows' one
  not-a-disc-image    no ISO 9660 or UDF volume, cut short, or folders that loop
)";
}
