// The checks of a medium. Every finding says where, what, what the launcher
// will do about it, and what to do.
#include "check/judge/medium_check.h"

#include <algorithm>
#include <system_error>

#include "check/judge/byte_order_mark.h"
#include "check/read/ini_reader.h"
#include "launcher/messages.h"

namespace fs = std::filesystem;

namespace {

constexpr char kAutorunInf[] = "autorun.inf";
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\" is 52 characters.
constexpr std::size_t kUnInstKeyLimit = kValueCapacity - 52;

struct KeyRule {
  const char* section;
  const char* key;
  Severity whenEmpty;
  const char* emptyConsequence;
  const char* action;
};

const KeyRule kKeys[] = {
    {"Config", "UnInstKey", Severity::Error,
     "the launcher asks about the uninstall list's own key, so the product always counts as "
     "not installed",
     "set it to the name of the product's entry in the uninstall list"},
    {"Config", "SetupPath", Severity::Error,
     "on a machine without the product the launcher starts nothing (the path is the medium's "
     "root alone)",
     "set it to the setup program's path relative to the medium's root"},
    {"Config", "SetupTitle", Severity::Warning,
     "the launcher cannot see a running setup and does not look for one",
     "set it to the title of the setup program's main window"},
    {"Config", "ExeName", Severity::Warning,
     "the launcher cannot see a running product and may start it a second time",
     "set it to a text found in the installed product's file name, e.g. its .exe name"},
    {"Config", "ProductLink", Severity::Error,
     "on a machine with the product the launcher finds no shortcut and starts nothing",
     "set it to the shortcut's path below the all-users Programs folder, e.g. "
     "\\Product\\Product.lnk"},
    {"AppRun", "RunFirst", Severity::Warning,
     "with -a on a machine without the product the launcher starts nothing",
     "set it to a program's path relative to the medium's root"},
    {"AppRun", "Installed", Severity::Warning,
     "with -a on a machine with the product the launcher starts nothing",
     "set it to a program's path relative to the medium's root"},
};

bool IsProgramKey(const std::string& key) {
  return key == "SetupPath" || key == "RunFirst" || key == "Installed";
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && SameName(text.substr(text.size() - end.size()), end);
}

class Checker {
 public:
  Checker(const MediumTree& medium, const MissingNameExplainer& explain)
      : medium_(medium), explain_(explain) {}

  std::vector<Finding> Run() {
    CheckInstallDat();
    CheckAutorunInf();
    return std::move(findings_);
  }

 private:
  void Add(Severity severity, std::string code, const std::string& file, const std::string& section,
           const std::string& key, std::string problem, std::string consequence,
           std::string action) {
    findings_.push_back({severity, std::move(code), file, section, key, std::move(problem),
                         std::move(consequence), std::move(action)});
  }
  // A name the medium lacks: what its other name sets tell of it, when they
  // tell something; else the plain finding.
  void AddMissing(Severity severity, const char* code, const std::string& file,
                  const std::string& section, const std::string& key, const std::string& name,
                  std::string problem, std::string consequence, std::string action) {
    std::optional<MissingName> why = explain_ ? explain_(name) : std::nullopt;
    if (why) {
      Add(severity, std::move(why->code), file, section, key, std::move(why->problem),
          std::move(consequence), std::move(why->action));
      return;
    }
    Add(severity, code, file, section, key, std::move(problem), std::move(consequence),
        std::move(action));
  }
  // A folder of the root that holds `name`, for a medium mastered one folder
  // too high; empty when none does.
  std::string FolderHolding(const char* name) const {
    std::vector<TreeEntry> entries;
    if (!medium_.List("", entries)) return "";
    for (const TreeEntry& entry : entries) {
      if (entry.kind == EntryKind::Folder && FindInTree(medium_, entry.name + "/" + name)) {
        return entry.name;
      }
    }
    return "";
  }
  std::string MissingAtRoot(const char* name) const {
    const std::string folder = FolderHolding(name);
    return std::string(name) + " is missing at the medium's root" +
           (folder.empty() ? "" : " (there is one in " + folder + "\\, one folder down)");
  }
  void AddKey(Severity severity, const char* code, const std::string& section,
              const std::string& key, std::string problem, std::string consequence,
              std::string action) {
    Add(severity, code, kInstallDat, section, key, std::move(problem), std::move(consequence),
        std::move(action));
  }

  void CheckInstallDat() {
    const std::optional<std::string> path = FindInTree(medium_, kInstallDat);
    std::string bytes;
    bool cut = false;
    if (!path) {
      AddMissing(Severity::Error, "no-install-dat", kInstallDat, "", "", kInstallDat,
                 MissingAtRoot(kInstallDat),
                 "the launcher shows its path in a box captioned WARNING and starts nothing",
                 "put install.dat in the medium's root, beside autorun.exe");
      return;
    }
    if (!medium_.ReadStart(*path, kInstallDatLimit, bytes, cut)) {
      Add(Severity::Error, "unreadable", kInstallDat, "", "", "install.dat cannot be read",
          "the launcher shows its path in a box captioned WARNING and starts nothing",
          "make it a readable file");
      return;
    }
    if (cut) {
      Add(Severity::Warning, "too-large", kInstallDat, "", "",
          "install.dat is larger than 1 MiB; only its start was checked",
          "the launcher reads the whole file each time it needs a value",
          "keep install.dat to the few lines the launcher reads");
    }
    const IniDocument document = ParseIni(bytes);
    CheckSections(document, CheckByteOrderMark(document, findings_));
    const IniSection* config = FindIniSection(document, "Config");
    if (config == nullptr) {
      AddKey(Severity::Error, "no-config", "Config", "", "there is no [Config] section",
             "every Config key reads empty: the product always counts as not installed and the "
             "launcher starts nothing",
             "add a [Config] section with the launcher's keys");
    }
    for (const KeyRule& rule : kKeys) {
      const IniSection* section = FindIniSection(document, rule.section);
      if (section == nullptr && config == nullptr && std::string(rule.section) == "Config")
        continue;
      CheckKey(rule, section == nullptr ? nullptr : FindIniEntry(*section, rule.key));
    }
  }

  // `marked`: the lines before the first header that the byte-order mark's
  // findings already speak for.
  void CheckSections(const IniDocument& document, MarkedLines marked) {
    const auto unmarked = [marked](const IniEntry& entry) {
      return !IsIniComment(entry) && !(marked == MarkedLines::FirstLine && entry.line == 1);
    };
    for (const IniSection& section : document.sections) {
      const std::string name = Narrow(section.name);
      const bool read = section.hasHeader && (SameIniName(section.name, "Config") ||
                                              SameIniName(section.name, "AppRun"));
      if (!read) {
        if (!section.hasHeader && marked == MarkedLines::AllBeforeFirstSection) continue;
        if (std::none_of(section.entries.begin(), section.entries.end(), unmarked)) continue;
        const std::string where =
            section.hasHeader ? "section [" + name + "] (line " + std::to_string(section.line) + ")"
                              : "the lines before the first section";
        AddKey(Severity::Warning, "unread-section", section.hasHeader ? name : "", "",
               "the launcher never reads " + where + "; its keys are ignored (a likely typo)",
               "the values written there do not count", "move the keys into [Config] or [AppRun]");
        continue;
      }
      const IniSection* first = FindIniSection(document, name);
      if (first != &section) {
        AddKey(Severity::Warning, "duplicate-section", name, "",
               "section [" + name + "] appears again at line " + std::to_string(section.line),
               "only the first, at line " + std::to_string(first->line) +
                   ", is read; the keys here are ignored",
               "merge both into one section");
        continue;
      }
      for (const IniEntry& entry : section.entries) CheckEntry(section, name, entry);
    }
  }

  void CheckEntry(const IniSection& section, const std::string& sectionName,
                  const IniEntry& entry) {
    const std::string key = Narrow(entry.name);
    const std::string line = " (line " + std::to_string(entry.line) + ")";
    const KeyRule* known = nullptr;
    for (const KeyRule& rule : kKeys) {
      if (SameIniName(entry.name, rule.key)) known = &rule;
    }
    if (known == nullptr || !SameIniName(section.name, known->section)) {
      if (IsIniComment(entry)) return;
      AddKey(Severity::Warning, "unknown-key", sectionName, key,
             "the launcher never reads this key in [" + sectionName + "]" + line +
                 (known ? "; it belongs in [" + std::string(known->section) + "]"
                        : " (a likely typo)"),
             "its value is ignored", "correct the key's name or section");
      return;
    }
    if (FindIniEntry(section, known->key) != &entry) {
      AddKey(Severity::Warning, "duplicate-key", sectionName, key, "the key appears again" + line,
             "the first one is read; this one is ignored", "remove one of them");
    }
    if (!entry.hasEquals) {
      AddKey(Severity::Warning, "no-equals", sectionName, key, "the line has no '='" + line,
             "the key reads as empty", "write it as " + std::string(known->key) + "=value");
    }
  }

  void CheckKey(const KeyRule& rule, const IniEntry* entry) {
    const std::string value = entry == nullptr ? "" : ReturnedValue(entry->value);
    const std::string key = rule.key;
    if (value.empty()) {
      AddKey(rule.whenEmpty, entry == nullptr ? "missing-key" : "empty-key", rule.section, key,
             entry == nullptr ? "the key is missing" : "the value is empty", rule.emptyConsequence,
             rule.action);
      return;
    }
    const std::u32string_view stored = entry->value;
    if (stored.find(char32_t{0}) != std::u32string_view::npos) {
      AddKey(Severity::Warning, "nul-byte", rule.section, key, "the value holds a NUL byte",
             "the launcher sees only the text before it", "remove the NUL byte");
    }
    if (Narrow(stored).size() > kValueCapacity) {
      AddKey(Severity::Warning, "value-cut", rule.section, key,
             "the value has 1,024 characters or more",
             "the launcher keeps only its first 1,023 characters", "shorten it");
    }
    if (key == "UnInstKey" && value.size() > kUnInstKeyLimit) {
      AddKey(Severity::Error, "uninstkey-too-long", rule.section, key,
             "the value has " + std::to_string(value.size()) +
                 " characters, more than the 971 "
                 "that fit after the uninstall list's path",
             "the product always counts as not installed", "use the entry's real, shorter name");
    }
    if (key == "ProductLink") {
      if (value[0] != '\\') {
        AddKey(Severity::Error, "link-no-backslash", rule.section, key,
               "\"" + value + "\" does not begin with a backslash",
               std::string("the launcher glues it to the Programs folder's name and finds no "
                           "shortcut (\"") +
                   kLinkNotFoundText + "\")",
               "write it as \\" + value);
      }
      if (!EndsWith(value, ".lnk")) {
        AddKey(Severity::Warning, "link-not-lnk", rule.section, key,
               "\"" + value + "\" does not end in .lnk",
               "a shortcut's file ends in .lnk; anything else is unlikely to be found",
               "name the shortcut file, e.g. \\Product\\Product.lnk");
      }
    }
    if (!IsProgramKey(key)) return;
    if (value[0] == '\\' || value[0] == '/') {
      AddKey(Severity::Warning, "program-backslash", rule.section, key,
             "\"" + value + "\" begins with a backslash",
             "the launcher puts it right after the medium's root, which already ends in one",
             "write the path without the leading backslash");
    }
    if (!FindInTree(medium_, value)) {
      AddMissing(Severity::Error, "no-such-program", kInstallDat, rule.section, key, value,
                 "\"" + value + "\" names no file on the medium",
                 "the launcher's start of it fails, silently: nothing happens",
                 "put the program there or correct the path (relative to the medium's root)");
    }
  }

  void CheckAutorunInf() {
    const std::optional<std::string> path = FindInTree(medium_, kAutorunInf);
    std::string bytes;
    bool cut = false;
    const char* const notStarted =
        "the desktop's automatic start of the medium does not start the launcher";
    if (!path) {
      AddMissing(Severity::Warning, "no-autorun-inf", kAutorunInf, "", "", kAutorunInf,
                 MissingAtRoot(kAutorunInf), notStarted,
                 "add autorun.inf with [autorun] and open=autorun.exe");
      return;
    }
    if (!medium_.ReadStart(*path, kInstallDatLimit, bytes, cut)) {
      Add(Severity::Warning, "unreadable", kAutorunInf, "", "", "autorun.inf cannot be read",
          notStarted, "make it a readable file");
      return;
    }
    const IniDocument document = ParseIni(bytes);
    const IniSection* section = FindIniSection(document, "autorun");
    const IniEntry* open = section == nullptr ? nullptr : FindIniEntry(*section, "open");
    std::string program = open == nullptr ? "" : ReturnedValue(open->value);
    if (!program.empty() && program[0] == '"') {
      program = program.substr(1, program.find('"', 1) - 1);
    } else {
      program = program.substr(0, program.find(' '));
    }
    const std::size_t slash = program.find_last_of("\\/");
    if (!SameName(slash == std::string::npos ? program : program.substr(slash + 1),
                  "autorun.exe")) {
      Add(Severity::Warning, "autorun-inf-open", kAutorunInf, "autorun", "open",
          open == nullptr ? "there is no open= in [autorun]"
                          : "open= names \"" + program + "\", not autorun.exe",
          notStarted, "write open=autorun.exe in [autorun]");
      return;
    }
    if (!FindInTree(medium_, program)) {
      AddMissing(Severity::Error, "no-launcher", kAutorunInf, "autorun", "open", program,
                 "open= names \"" + program + "\", which is not on the medium",
                 "the desktop's automatic start of the medium starts nothing, and there is no "
                 "launcher to start by hand",
                 "put autorun.exe in the medium's root, beside autorun.inf");
    }
  }

  const MediumTree& medium_;
  const MissingNameExplainer& explain_;
  std::vector<Finding> findings_;
};

}  // namespace

int FindingsStatus(const std::vector<Finding>& findings) {
  const bool found = std::any_of(findings.begin(), findings.end(), [](const Finding& finding) {
    return finding.severity != Severity::Note;
  });
  return found ? 1 : 0;
}

std::string FormatFinding(const Finding& finding) {
  static const char* const kSeverity[] = {"error", "warning", "note"};
  std::string line =
      std::string(kSeverity[static_cast<int>(finding.severity)]) + ": " + finding.file;
  if (!finding.section.empty()) line += " [" + finding.section + "]";
  if (!finding.key.empty()) line += " " + finding.key;
  return line + ": " + finding.problem + "; " + finding.consequence + ". Fix: " + finding.action +
         ". (" + finding.code + ")";
}

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

std::vector<Finding> CheckMedium(const MediumTree& medium, const MissingNameExplainer& explain) {
  return Checker(medium, explain).Run();
}

std::vector<Finding> CheckMedium(const fs::path& medium) {
  std::error_code error;
  if (!fs::is_directory(medium, error)) {
    return {{Severity::Error, "no-medium", "", "", "",
             "the medium folder does not exist or is not a folder", "there is nothing to check",
             "give the folder that holds install.dat and autorun.exe"}};
  }
  fs::directory_iterator listing(medium, error);
  if (error) {
    return {{Severity::Error, "unreadable", "", "", "", "the medium folder cannot be read",
             "the launcher could not read install.dat from it either", "make the folder readable"}};
  }
  return CheckMedium(FolderTree(medium));
}
