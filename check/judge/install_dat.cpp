// install.dat as the launcher reads it: every section and key, the values
// the launcher gets, and the programs they name on the medium.
#include "check/judge/install_dat.h"

#include <algorithm>
#include <cctype>

#include "check/judge/byte_order_mark.h"
#include "check/judge/template_placeholders.h"
#include "check/read/ini_reader.h"
#include "launcher/messages.h"

namespace {

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

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The entry's own name when UnInstKey holds a registry path instead (a hive,
// SOFTWARE\ or the uninstall list's \Uninstall\): its last name, or empty
// when that is the list itself.
std::optional<std::string> KeyNameInPath(const std::string& value) {
  const std::string upper = Upper(value);
  const std::size_t hiveEnd = upper.find_first_of("\\:");
  const std::string hive = upper.substr(0, hiveEnd);
  const bool path =
      upper.rfind("HKEY_", 0) == 0 ||
      ((hive == "HKLM" || hive == "HKCU" || hive == "HKCR" || hive == "HKU" || hive == "HKCC") &&
       hiveEnd != std::string::npos) ||
      upper.find("SOFTWARE\\") != std::string::npos ||
      upper.find("\\UNINSTALL\\") != std::string::npos || EndsWith(upper, "\\UNINSTALL");
  if (!path) return std::nullopt;
  std::string name = value.substr(0, value.find_last_not_of('\\') + 1);
  name = name.substr(name.find_last_of("\\:") + 1);
  return SameName(name, "Uninstall") ? "" : name;
}

// install.dat's byte-order mark, as the launcher meets it.
const MarkedFile kMarkedInstallDat = {
    kInstallDat, "the launcher",
    "the launcher gets its values converted to the system code page; characters it lacks "
    "become '?'"};

class InstallDatJudge {
 public:
  explicit InstallDatJudge(MediumFindings& findings) : findings_(findings) {}

  void Run() {
    const std::optional<std::string> path = FindInTree(findings_.Medium(), kInstallDat);
    std::string bytes;
    bool cut = false;
    if (!path) {
      findings_.AddMissing(
          Severity::Error, "no-install-dat", kInstallDat, "", "", kInstallDat,
          findings_.MissingAtRoot(kInstallDat),
          "the launcher shows its path in a box captioned WARNING and starts nothing",
          "put install.dat in the medium's root, beside autorun.exe");
      return;
    }
    if (!findings_.Medium().ReadStart(*path, kInstallDatLimit, bytes, cut)) {
      findings_.Add(Severity::Error, "unreadable", kInstallDat, "", "",
                    "install.dat cannot be read",
                    "the launcher shows its path in a box captioned WARNING and starts nothing",
                    "make it a readable file");
      return;
    }
    if (cut) {
      findings_.Add(Severity::Warning, "too-large", kInstallDat, "", "",
                    "install.dat is larger than 1 MiB; only its start was checked",
                    "the launcher reads the whole file each time it needs a value",
                    "keep install.dat to the few lines the launcher reads");
    }
    const IniDocument document = ParseIni(bytes);
    const MarkEffect mark = CheckByteOrderMark(document, kMarkedInstallDat, findings_.List());
    CheckSections(document, mark.lines);
    NotePlaceholders(document, kInstallDat, findings_);
    // A section's absence is told once: by the mark that hides it, or by
    // its own finding; its keys are then not reported one by one.
    if (FindIniSection(document, "Config") == nullptr && !mark.Hides("Config")) {
      AddKey(Severity::Error, "no-config", "Config", "", "there is no [Config] section",
             "every Config key reads empty: the product always counts as not installed and the "
             "launcher starts nothing",
             "add a [Config] section with the launcher's keys");
    }
    if (FindIniSection(document, "AppRun") == nullptr && !mark.Hides("AppRun")) {
      AddKey(Severity::Note, "no-apprun", "AppRun", "",
             "there is no [AppRun] section: the direct-run mode (-a) is not used",
             "started with -a or /a, the launcher starts nothing",
             "nothing, unless the medium is meant to run programs directly: then add [AppRun] "
             "with RunFirst and Installed");
    }
    for (const KeyRule& rule : kKeys) {
      const IniSection* section = FindIniSection(document, rule.section);
      if (section != nullptr) CheckKey(rule, FindIniEntry(*section, rule.key));
    }
  }

 private:
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
        const auto firstKey =
            std::find_if(section.entries.begin(), section.entries.end(), unmarked);
        if (firstKey == section.entries.end()) continue;
        const std::string where =
            section.hasHeader ? "section [" + name + "]" : "the lines before the first section";
        AddKey(Severity::Warning, "unread-section", section.hasHeader ? name : "", "",
               "the launcher never reads " + where + "; its keys are ignored (a likely typo)",
               "the values written there do not count", "move the keys into [Config] or [AppRun]")
            .line = section.hasHeader ? section.line : firstKey->line;
        continue;
      }
      const IniSection* first = FindIniSection(document, name);
      if (first != &section) {
        AddKey(Severity::Warning, "duplicate-section", name, "",
               "section [" + name + "] appears again",
               "only the first, at line " + std::to_string(first->line) +
                   ", is read; the keys here are ignored",
               "merge both into one section")
            .line = section.line;
        continue;
      }
      for (const IniEntry& entry : section.entries) CheckEntry(section, name, entry);
    }
  }

  void CheckEntry(const IniSection& section, const std::string& sectionName,
                  const IniEntry& entry) {
    const std::string key = Narrow(entry.name);
    const KeyRule* known = nullptr;
    for (const KeyRule& rule : kKeys) {
      if (SameIniName(entry.name, rule.key)) known = &rule;
    }
    if (known == nullptr || !SameIniName(section.name, known->section)) {
      if (IsIniComment(entry)) return;
      AddKey(Severity::Warning, "unknown-key", sectionName, key,
             "the launcher never reads this key in [" + sectionName + "]" +
                 (known ? "; it belongs in [" + std::string(known->section) + "]"
                        : " (a likely typo)"),
             "its value is ignored", "correct the key's name or section")
          .line = entry.line;
      return;
    }
    if (FindIniEntry(section, known->key) != &entry) {
      AddKey(Severity::Warning, "duplicate-key", sectionName, key, "the key appears again",
             "the first one is read; this one is ignored", "remove one of them")
          .line = entry.line;
    }
    if (!entry.hasEquals) {
      AddKey(Severity::Warning, "no-equals", sectionName, key, "the line has no '='",
             "the key reads as empty", "write it as " + std::string(known->key) + "=value")
          .line = entry.line;
    }
  }

  void CheckKey(const KeyRule& rule, const IniEntry* entry) {
    const std::string value = entry == nullptr ? "" : ReturnedValue(entry->value);
    const std::string key = rule.key;
    line_ = entry == nullptr ? 0 : entry->line;
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
    if (key == "UnInstKey") CheckUnInstKey(rule, value);
    if (key == "ProductLink") CheckProductLink(rule, value);
    if (IsProgramKey(key)) CheckProgram(rule, value);
  }

  void CheckUnInstKey(const KeyRule& rule, const std::string& value) {
    if (const std::optional<std::string> name = KeyNameInPath(value)) {
      AddKey(Severity::Error, "uninstkey-path", rule.section, rule.key,
             "\"" + value +
                 "\" is a registry path, where the name of the product's entry in "
                 "the uninstall list belongs",
             "the launcher looks for an entry of that whole name below the uninstall list, "
             "which does not exist: the product never counts as installed, and the setup starts "
             "again on every insertion",
             name->empty() ? "write the name of the product's entry below "
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall alone"
                           : "write the entry's name alone: UnInstKey=" + *name);
      return;
    }
    if (value.size() > kUnInstKeyLimit) {
      AddKey(Severity::Error, "uninstkey-too-long", rule.section, rule.key,
             "the value has " + std::to_string(value.size()) +
                 " characters, more than the 971 "
                 "that fit after the uninstall list's path",
             "the product always counts as not installed", "use the entry's real, shorter name");
    }
  }

  void CheckProductLink(const KeyRule& rule, const std::string& value) {
    if (value[0] != '\\') {
      std::string backslashed = value;
      for (char& c : backslashed) c = c == '/' ? '\\' : c;
      if (backslashed[0] != '\\') backslashed.insert(0, 1, '\\');
      AddKey(Severity::Error, "link-no-backslash", rule.section, rule.key,
             "\"" + value + "\" does not begin with a backslash",
             std::string("the launcher glues it to the Programs folder's name and finds no "
                         "shortcut (\"") +
                 kLinkNotFoundText + "\")",
             "write it as " + backslashed);
    }
    if (!EndsWith(value, ".lnk")) {
      AddKey(Severity::Warning, "link-not-lnk", rule.section, rule.key,
             "\"" + value + "\" does not end in .lnk",
             "a shortcut's file ends in .lnk; anything else is unlikely to be found",
             "name the shortcut file, e.g. \\Product\\Product.lnk");
    }
  }

  void CheckProgram(const KeyRule& rule, const std::string& value) {
    if (const std::optional<std::string> program = ProgramWithArguments(value)) {
      AddKey(Severity::Error, "program-arguments", rule.section, rule.key,
             "\"" + value + "\" holds quotes or arguments besides the program's path",
             "the launcher passes no arguments: it starts the whole value as one file name, "
             "which is not on the medium, and the start fails silently",
             "name a program that needs no arguments" +
                 (program->empty() ? std::string() : " (" + *program + ")") +
                 ", or a small wrapper program that starts it with them");
      return;
    }
    findings_.Name({kInstallDat, rule.section, rule.key, line_, value});
    if (value[0] == '\\' || value[0] == '/') {
      AddKey(Severity::Warning, "program-backslash", rule.section, rule.key,
             "\"" + value + "\" begins with a backslash",
             "the launcher puts it right after the medium's root, which already ends in one",
             "write the path without the leading backslash");
    }
    if (!FindInTree(findings_.Medium(), value)) {
      findings_
          .AddMissing(Severity::Error, "no-such-program", kInstallDat, rule.section, rule.key,
                      value, "\"" + value + "\" names no file on the medium",
                      "the launcher's start of it fails, silently: nothing happens",
                      "put the program there or correct the path (relative to the medium's root)")
          .line = line_;
    }
  }

  // The program's path when `value` holds quotes or arguments besides it
  // (empty when it cannot be told); nothing when it is a plain path.
  std::optional<std::string> ProgramWithArguments(const std::string& value) const {
    const std::size_t quote = value.find('"');
    if (quote != std::string::npos) {
      const std::string program =
          quote == 0 ? value.substr(1, value.find('"', 1) - 1) : value.substr(0, quote);
      return Trimmed(program);
    }
    if (FindInTree(findings_.Medium(), value)) return std::nullopt;
    for (std::size_t blank = value.find(' '); blank != std::string::npos;
         blank = value.find(' ', blank + 1)) {
      const std::string program = Trimmed(value.substr(0, blank));
      const std::string rest = Trimmed(value.substr(blank));
      const bool switchNext = rest.size() > 1 && (rest[0] == '/' || rest[0] == '-') &&
                              std::isalnum(static_cast<unsigned char>(rest[1]));
      if (!program.empty() && (switchNext || FindInTree(findings_.Medium(), program))) {
        return program;
      }
    }
    return std::nullopt;
  }

  // The finding added, at the line of the key being checked.
  Finding& AddKey(Severity severity, const char* code, const std::string& section,
                  const std::string& key, std::string problem, std::string consequence,
                  std::string action) {
    Finding& finding = findings_.Add(severity, code, kInstallDat, section, key, std::move(problem),
                                     std::move(consequence), std::move(action));
    finding.line = line_;
    return finding;
  }

  MediumFindings& findings_;
  int line_ = 0;  // the line of the key being checked
};

}  // namespace

void JudgeInstallDat(MediumFindings& findings) { InstallDatJudge(findings).Run(); }
