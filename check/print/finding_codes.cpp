// The table of finding codes: what each means for the publisher.
#include "check/print/finding_codes.h"

const std::vector<FindingCode>& FindingCodes() {
  static const std::vector<FindingCode> kCodes = {
      // The medium and its files.
      {"no-medium", Severity::Error, "the folder given does not exist or is not a folder",
       "There is nothing to check. The command line refuses such a folder as a usage error "
       "(exit status 2); give the folder that holds install.dat and autorun.exe."},
      {"unreadable", Severity::Error,
       "the medium folder, install.dat, autorun.inf or the image cannot be read",
       "The launcher could not read it either (install.dat: an error, the launcher shows its "
       "path in a WARNING box; autorun.inf: a warning, AutoPlay does not start the launcher). "
       "Make the file or folder readable."},
      {"too-large", Severity::Warning, "install.dat is over 1 MiB; only its start was checked",
       "The launcher reads the whole file each time it needs a value. Keep install.dat to the "
       "few lines the launcher reads."},
      {"no-install-dat", Severity::Error, "install.dat is missing at the medium's root",
       "The launcher shows the path it tried in a box captioned WARNING and starts nothing. Put "
       "install.dat at the root, beside autorun.exe; the finding names the folder one down that "
       "holds it when the medium was mastered one folder too high."},
      // install.dat as Windows reads it.
      {"unicode-file", Severity::Note, "install.dat is UTF-16 LE (\"Unicode\")",
       "Windows reads it, and hands the launcher its values in the system code page: a "
       "character the code page lacks becomes '?'. Plain ASCII values are safe."},
      {"utf8-mark-hides-section", Severity::Error,
       "a UTF-8 byte-order mark on a section header's line hides that section",
       "Windows' reader knows only UTF-16 LE's mark; it reads a UTF-8 mark as three characters "
       "of the first line, which is then no section header: the launcher (install.dat) or "
       "AutoPlay (autorun.inf) never sees that section or its keys. Wine reads them, so a test "
       "there passes. The findings that follow from the hidden section alone are not given. "
       "Save the file as ANSI or UTF-16 LE, or put a comment or blank line first."},
      {"utf8-mark", Severity::Note,
       "a UTF-8 byte-order mark before a comment, blank or key: harmless",
       "Windows reads the file as ANSI bytes, so characters outside ASCII arrive as two or "
       "three other characters each. Save the file as ANSI or UTF-16 LE."},
      {"utf16-be-file", Severity::Error, "the file is UTF-16 big-endian, which Windows cannot read",
       "Windows reads it as ANSI bytes and finds no section: every key reads empty and nothing "
       "starts (Wine reads it, so a test there passes). This one finding stands for all that "
       "follow from it. Save the file as ANSI or UTF-16 LE."},
      {"no-config", Severity::Error, "install.dat has no [Config] section",
       "Every Config key reads empty: the product always counts as not installed and the "
       "launcher starts nothing. Its keys are not reported one by one. Add [Config] with the "
       "launcher's keys."},
      {"no-apprun", Severity::Note, "no [AppRun] section: the direct-run mode (-a) is unused",
       "Started with -a or /a the launcher starts nothing; otherwise nothing changes. Add "
       "[AppRun] with RunFirst and Installed if the medium is meant to run programs directly."},
      {"missing-key", Severity::Error, "a key the launcher reads is missing",
       "It reads as empty. An error for UnInstKey (the product always counts as not installed), "
       "SetupPath (nothing starts without the product) and ProductLink (the installed product "
       "never starts); a warning for SetupTitle and ExeName (a running setup or product is not "
       "seen) and for RunFirst and Installed in an [AppRun] that is there (-a starts nothing)."},
      {"empty-key", Severity::Error, "a key the launcher reads has no value",
       "The same as missing-key, with the same severity by key: the key reads as empty."},
      {"unread-section", Severity::Warning,
       "keys in a section the launcher never reads, or before any section",
       "Their values do not count; the section's name is a likely typo. Move the keys into "
       "[Config] or [AppRun]."},
      {"unknown-key", Severity::Warning, "a key the launcher never reads in [Config] or [AppRun]",
       "Its value is ignored: a likely typo, or a key of the other section (the finding says "
       "which). Correct the key's name or section."},
      {"duplicate-section", Severity::Warning, "a second [Config] or [AppRun]",
       "Only the first is read; the keys of the second are ignored. Merge both into one."},
      {"duplicate-key", Severity::Warning, "a key written twice",
       "The first one is read, the second ignored. Remove one of them."},
      {"no-equals", Severity::Warning, "a launcher key written without '='",
       "It reads as empty. Write it as Key=value."},
      {"value-cut", Severity::Warning, "a value of 1,024 characters or more",
       "The launcher keeps its first 1,023 characters. Shorten it."},
      {"nul-byte", Severity::Warning, "a value holds a NUL byte",
       "The launcher sees only the text before it. Remove the NUL byte."},
      {"uninstkey-too-long", Severity::Error, "UnInstKey is longer than 971 characters",
       "It does not fit after the uninstall list's path in the launcher's 1,023 characters: "
       "the product always counts as not installed. Use the entry's real, shorter name."},
      {"uninstkey-path", Severity::Error, "UnInstKey holds a registry path, not the entry's name",
       "A hive (HKLM\\), SOFTWARE\\ or \\Uninstall\\ in UnInstKey: the launcher looks for an "
       "entry of that whole name below HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
       "Uninstall, which does not exist, so the product never counts as installed and the setup "
       "starts again on every insertion. Write the entry's name alone, e.g. UnInstKey={GUID}; "
       "the finding names it."},
      {"link-no-backslash", Severity::Error, "ProductLink does not begin with a backslash",
       "The launcher glues it to the Programs folder's path and finds no shortcut (\"Application "
       "link isn't found.\"). The fix shows the value with backslashes, e.g. "
       "\\Product\\Product.lnk."},
      {"link-not-lnk", Severity::Warning, "ProductLink does not end in .lnk",
       "A shortcut's file ends in .lnk; anything else is unlikely to be found. Name the "
       "shortcut file."},
      // The programs install.dat names, and their names.
      {"no-such-program", Severity::Error,
       "SetupPath, RunFirst or Installed names no file on the medium",
       "Names are compared without regard to letter case, as Windows does. The launcher's start "
       "fails silently. Put the program there or correct the path, relative to the root."},
      {"program-backslash", Severity::Warning, "a program's path begins with a backslash",
       "The launcher puts it right after the medium's root, which already ends in one. Write "
       "the path without it."},
      {"program-arguments", Severity::Error, "a program key holds quotes or arguments",
       "The launcher passes no arguments: it starts the whole value as one file name, which is "
       "not there, and the start fails silently. Name a program that needs no arguments, or a "
       "small wrapper program that starts it with them."},
      {"name-over-64", Severity::Warning,
       "a name in a path is over 64 characters (Joliet's default)",
       "Checked in a folder, before mastering, for every path install.dat and autorun.inf give. "
       "Mastered without -joliet-long (the tools' default), a disc holds the name cut to 64 "
       "characters and Windows does not find the file. Master with -joliet-long and check the "
       "image, or shorten the name."},
      {"name-over-103", Severity::Warning,
       "a name in a path is over 103 characters (Joliet's longest)",
       "Checked before mastering, as name-over-64. No Joliet image holds the name whole, so "
       "Windows does not find the file on a disc. Shorten the name to 103 characters (and "
       "master with -joliet-long), or to 64."},
      {"name-characters", Severity::Warning, "a name in a path is one Windows does not allow",
       "Checked before mastering: < > : \" | ? *, control characters, a dot or blank at the "
       "end, or a device name such as CON or NUL. Windows cannot open such a file. Rename it."},
      {"template-placeholder", Severity::Note,
       "install.dat or autorun.inf still holds a value of the release's templates",
       "The templates name a product that does not exist (YourProductUninstallKey, "
       "setup\\YourSetup.exe, Your Product, ...). The launcher and AutoPlay take such a value "
       "as written: an UnInstKey left so never finds your product installed. Write your "
       "product's own value, as the template's comment above the key says."},
      // autorun.inf as AutoPlay reads it.
      {"no-autorun-inf", Severity::Warning, "autorun.inf is missing at the medium's root",
       "The desktop's automatic start of the medium does not start the launcher. Add "
       "autorun.inf with [autorun] and open=autorun.exe."},
      {"autorun-inf-open", Severity::Warning,
       "autorun.inf's open= or shellexecute= does not name autorun.exe",
       "Or there is no [autorun] section or no open=. The automatic start does not start the "
       "launcher. Write open=autorun.exe in [autorun]."},
      {"no-launcher", Severity::Error, "open= names autorun.exe, which the medium lacks",
       "The automatic start starts nothing, and there is no launcher to start by hand. Put "
       "autorun.exe at the medium's root, beside autorun.inf."},
      {"usb-ignores-open", Severity::Note, "on a USB stick Windows ignores open= and shellexecute=",
       "Windows 7 and later, and earlier Windows with the AutoPlay update KB971029, start "
       "nothing from autorun.inf on USB sticks and other drives that are no discs; label= and "
       "icon= still show. Given for a folder, which may become either; a disc image gets none. "
       "From a USB stick the user opens the drive and starts autorun.exe."},
      {"long-label", Severity::Note, "label= is longer than the 32 characters Explorer shows",
       "label= names the drive in Explorer and AutoPlay; the finding shows what remains. "
       "Shorten it to 32 characters."},
      {"no-icon-file", Severity::Warning, "icon= names a file the medium lacks",
       "Explorer and AutoPlay show the standard drive icon. Put the icon file there (an .ico, "
       "or a program or library holding icons), relative to the medium's root."},
      {"icon-index", Severity::Warning, "icon= has no whole number after its comma",
       "The form is icon=FILE or icon=FILE,INDEX, INDEX the icon's number in the file (negative: "
       "its resource identifier). Windows finds no icon by it and shows the standard one."},
      {"action-unused", Severity::Note, "action= has no effect on a disc",
       "action= labels the launcher's entry in AutoPlay for USB sticks and hard disks only, "
       "which Windows 7 and later no longer offer at all. Remove it for a disc."},
      {"use-autoplay", Severity::Warning, "UseAutoPlay=1 keeps the launcher out of AutoPlay",
       "Windows leaves open= and shellexecute= out of the AutoPlay dialog: inserting the medium "
       "never offers or starts the launcher. Remove UseAutoPlay=1."},
      {"unknown-autorun-entry", Severity::Note,
       "a section or [autorun] key that AutoPlay does not know",
       "Windows ignores it; it is likely a typo. Keys before any section count too. Correct it "
       "after Microsoft's reference of autorun.inf, or remove it."},
      // The programs, judged as Windows judges them before they run: the ones
      // the launcher starts (autorun.inf's open=, SetupPath, RunFirst,
      // Installed) one finding each, the medium's other .exe and .dll files
      // one finding per kind of fault, naming them.
      {"not-a-program", Severity::Error, "not a Windows program: no MZ header (text, a script)",
       "CreateProcess cannot start it: the launcher's start fails silently. An error for a "
       "program the launcher starts, a warning for the medium's other files. Name a program."},
      {"installer-package", Severity::Error, "a Windows Installer package, not a program",
       "CreateProcess cannot start a package (a compound file, .msi or .msp), and the launcher "
       "passes no arguments to msiexec. Name the setup program that installs the package."},
      {"16-bit-program", Severity::Error, "an MS-DOS or 16-bit Windows program (or LE/LX)",
       "64-bit Windows runs none of them, and the start fails. Rebuild it as a Windows "
       "program."},
      {"malformed-program", Severity::Error,
       "its headers are cut short, point past its end or count absurdly",
       "Windows' loader refuses it (or it was damaged in copying). Put an intact copy of the "
       "program on the medium."},
      {"not-startable", Severity::Error, "a library (DLL), or not a desktop program's subsystem",
       "CreateProcess cannot start a library, a driver or a program of another subsystem. Name "
       "the program that uses it."},
      {"program-unreadable", Severity::Error, "the program's file cannot be read",
       "Windows could not start it either. Make the file readable."},
      {"x64-program", Severity::Note, "a 64-bit (x64) program",
       "32-bit Windows cannot run it; 64-bit Windows (and Windows on ARM) can. Nothing to do "
       "unless the medium is meant for 32-bit Windows too."},
      {"arm64-program", Severity::Warning, "an ARM64-only program",
       "Only Windows on ARM runs it; x64 and 32-bit Windows cannot. Ship an x64 or 32-bit "
       "build, or a hybrid one."},
      {"other-cpu", Severity::Warning, "built for a CPU no Windows of today runs",
       "No current Windows can start it. Rebuild it for x86, x64 or ARM64."},
      {"unsigned", Severity::Error, "no Authenticode signature",
       "Smart App Control, on by default on new Windows 11 installations, blocks an unsigned "
       "program however it is started; SmartScreen warns about one from a downloaded image. An "
       "error for autorun.exe and SetupPath (nothing starts), a warning for RunFirst, Installed "
       "and the other programs. Sign it, with a time stamp, as the last step before mastering; "
       "--sign-later makes this a note."},
      {"signature-broken", Severity::Error,
       "the signature does not match the file, or does not hold",
       "Changed after signing, or its signer's signature or time stamp is broken: Windows "
       "counts it as unsigned (the same severities as unsigned). Sign the final file again."},
      {"signature-expired", Severity::Error,
       "its certificate expired, without a time stamp that keeps it valid",
       "Windows counts the signature as void (the same severities as unsigned). Sign again with "
       "a valid certificate and a time stamp."},
      {"no-time-stamp", Severity::Warning, "signed without a time stamp",
       "The signature dies with its certificate, and code-signing certificates now live at most "
       "460 days. Sign with a time stamp (scripts/sign.sh --timestamp URL, signtool /tr)."},
      {"sha1-only", Severity::Warning, "signed with SHA-1 only",
       "Windows no longer trusts SHA-1 signatures of new programs. Sign with SHA-256."},
      {"signer", Severity::Note, "who signed which programs",
       "With the issuer and the end of the certificate's validity. Whether a given Windows "
       "trusts that issuer's root is that Windows' own: the checker cannot know it, and a root "
       "it does not trust is blocked like an unsigned program. Check on Windows 11 with "
       "autorun-check.exe --explain, or sign with a certificate of an authority Windows "
       "trusts."},
      {"several-signers", Severity::Note, "the programs have more than one signer",
       "Each signer's reputation counts on its own. Sign every program with one certificate."},
      // A disc image, read by the names Windows reads (host build).
      {"image-names", Severity::Note, "which of the image's names Windows reads",
       "UDF where the image has UDF names, else Joliet, else the 8.3 ISO 9660 names. The "
       "launcher finds the medium's files by these names, and every other check of the image "
       "uses them."},
      {"no-joliet", Severity::Warning, "the image has neither Joliet nor UDF names",
       "Windows shows every name as an 8.3 upper-case ISO 9660 name: a path of install.dat is "
       "found only where its 8.3 name still matches. Master with -J -joliet-long."},
      {"mastered-without-joliet", Severity::Error,
       "a named file is on the image in its Rock Ridge names only",
       "Mastered without Joliet, Windows sees its 8.3 name (given in the finding), so the path "
       "finds nothing. The severity is the named file's own. Master with -J -joliet-long."},
      {"cut-by-joliet", Severity::Error, "the image's Joliet names hold a name cut",
       "Joliet holds 64 characters a name, or 103 with -joliet-long; the tools cut longer names "
       "(xorriso keeps the extension). The finding gives the name as the image holds it, read "
       "from the image. Without the long option: master with -joliet-long, or shorten the "
       "name; with it: shorten the name to the length the image kept."},
      {"cut-in-udf", Severity::Error, "the image's UDF names, which Windows reads, hold a name cut",
       "genisoimage -udf -J cuts an image's UDF names where it cuts Joliet's (64, or 103 "
       "with -joliet-long). The cut name is found by the start it kept. Master with "
       "-joliet-long as well, or without -J, or shorten the name as the finding says."},
      {"rock-ridge-only", Severity::Error, "a named file is only in the image's Rock Ridge names",
       "Windows ignores Rock Ridge names and does not find the file. Master the image so that "
       "the names Windows reads hold it, or correct the path."},
      {"not-in-windows-names", Severity::Error,
       "a named file is in another of the image's name sets, not in Windows' one",
       "Windows does not find it. Master the image so that the names Windows reads hold the "
       "file, or correct the path."},
      {"not-a-disc-image", Severity::Error,
       "no ISO 9660 or UDF volume, cut short, or folders that loop",
       "A medium pressed from it may show Windows no files, or fail half-way through reading "
       "them. Master the image again from the medium folder, and check that folder."},
  };
  return kCodes;
}

const FindingCode* FindFindingCode(std::string_view code) {
  for (const FindingCode& row : FindingCodes()) {
    if (code == row.code) return &row;
  }
  return nullptr;
}
