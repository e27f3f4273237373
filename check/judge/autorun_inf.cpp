// autorun.inf as AutoPlay reads it, after Microsoft's reference of its
// entries ("Autorun.inf Entries"): read as an initialization file, with the
// byte-order mark rules of install.dat; [autorun]'s open= or shellexecute=
// names the launcher, which must be on the medium; label= and icon= show the
// drive; action= and UseAutoPlay= change what AutoPlay offers. Windows 7, and
// earlier Windows with its AutoPlay update, ignore open= and shellexecute= on
// USB sticks.
#include "check/judge/autorun_inf.h"

#include <cctype>
#include <iterator>
#include <string_view>

#include "check/judge/byte_order_mark.h"
#include "check/judge/template_placeholders.h"
#include "check/read/ini_reader.h"

namespace {

constexpr char kAutorunInf[] = "autorun.inf";
constexpr char kNotStarted[] =
    "the desktop's automatic start of the medium does not start the launcher";
// Explorer shows the drive's name in this many characters.
constexpr std::size_t kLabelShown = 32;

const MarkedFile kMarkedAutorunInf = {kAutorunInf, "AutoPlay", nullptr};

// The sections and [autorun] keys of Microsoft's reference.
constexpr std::string_view kSections[] = {"autorun", "Content", "ExclusiveContentPaths",
                                          "IgnoreContentPaths", "DeviceInstall"};
constexpr std::string_view kKeys[] = {"action", "CustomEvent",  "defaulticon",
                                      "icon",   "label",        "open",
                                      "shell",  "shellexecute", "UseAutoPlay"};

bool Known(std::u32string_view name, const std::string_view* names, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (SameIniName(name, names[i])) return true;
  }
  return false;
}

// "[autorun.amd64]" and the like: read instead of [autorun] on that machine.
bool IsArchitectureSection(std::u32string_view name) {
  return name.size() > 8 && SameIniName(name.substr(0, 8), "autorun.");
}

// "shell\verb" and "shell\verb\command": the drive's shortcut menu.
bool IsShellVerb(std::u32string_view name) {
  return name.size() > 6 && SameIniName(name.substr(0, 6), "shell\\");
}

// The program of an open= or shellexecute= command line: quoted, or up to
// the first blank.
std::string ProgramOf(const std::string& command) {
  if (!command.empty() && command[0] == '"') return command.substr(1, command.find('"', 1) - 1);
  return command.substr(0, command.find(' '));
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// An icon's index: a whole number, negative for a resource identifier.
bool IsIconIndex(const std::string& text) {
  const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
  if (text.size() == digits) return false;
  for (std::size_t i = digits; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

class AutorunInfJudge {
 public:
  explicit AutorunInfJudge(MediumFindings& findings) : findings_(findings) {}

  void Run() {
    const std::optional<std::string> path = FindInTree(findings_.Medium(), kAutorunInf);
    std::string bytes;
    bool cut = false;
    if (!path) {
      findings_.AddMissing(Severity::Warning, "no-autorun-inf", kAutorunInf, "", "", kAutorunInf,
                           findings_.MissingAtRoot(kAutorunInf), kNotStarted,
                           "add autorun.inf with [autorun] and open=autorun.exe");
      return;
    }
    if (!findings_.Medium().ReadStart(*path, kInstallDatLimit, bytes, cut)) {
      findings_.Add(Severity::Warning, "unreadable", kAutorunInf, "", "",
                    "autorun.inf cannot be read", kNotStarted, "make it a readable file");
      return;
    }
    const IniDocument document = ParseIni(bytes);
    const MarkEffect mark = CheckByteOrderMark(document, kMarkedAutorunInf, findings_.List());
    NoteUnknownEntries(document, mark.lines);
    NotePlaceholders(document, kAutorunInf, findings_);
    const IniSection* autorun = FindIniSection(document, "autorun");
    if (autorun == nullptr) {
      if (!mark.Hides("autorun")) {
        Add(Severity::Warning, "autorun-inf-open", "autorun", "", 0,
            "there is no [autorun] section", kNotStarted,
            "begin autorun.inf with [autorun] and open=autorun.exe");
      }
      return;
    }
    CheckLauncher(*autorun);
    CheckLabel(*autorun);
    CheckIcon(*autorun);
    CheckAutoPlay(*autorun);
  }

 private:
  // Sections and [autorun] keys that AutoPlay does not know, and keys before
  // any section (but those the byte-order mark's finding speaks for).
  void NoteUnknownEntries(const IniDocument& document, MarkedLines marked) {
    for (const IniSection& section : document.sections) {
      if (!section.hasHeader) {
        if (marked == MarkedLines::AllBeforeFirstSection) continue;
        for (const IniEntry& entry : section.entries) {
          if (IsIniComment(entry) || (marked == MarkedLines::FirstLine && entry.line == 1))
            continue;
          NoteUnknown("", Narrow(entry.name), entry.line,
                      "the key " + Narrow(entry.name) + " stands before any section");
          break;
        }
        continue;
      }
      const std::string name = Narrow(section.name);
      if (!Known(section.name, kSections, std::size(kSections)) &&
          !IsArchitectureSection(section.name)) {
        NoteUnknown(name, "", section.line,
                    "AutoPlay knows no section [" + name + "] (a likely typo)");
        continue;
      }
      if (!SameIniName(section.name, "autorun") ||
          &section != FindIniSection(document, "autorun")) {
        continue;
      }
      for (const IniEntry& entry : section.entries) {
        if (IsIniComment(entry) || IsShellVerb(entry.name) ||
            Known(entry.name, kKeys, std::size(kKeys))) {
          continue;
        }
        NoteUnknown(
            name, Narrow(entry.name), entry.line,
            "AutoPlay knows no key " + Narrow(entry.name) + " in [autorun] (a likely typo)");
      }
    }
  }

  void NoteUnknown(const std::string& section, const std::string& key, int line,
                   std::string problem) {
    Add(Severity::Note, "unknown-autorun-entry", section, key, line, std::move(problem),
        "Windows ignores it",
        "correct it after Microsoft's reference of autorun.inf, or remove it");
  }

  // open= or shellexecute= must name the launcher, and the launcher must be
  // on the medium.
  void CheckLauncher(const IniSection& autorun) {
    const IniEntry* launcher = nullptr;
    const IniEntry* first = nullptr;
    for (const char* key : {"open", "shellexecute"}) {
      const IniEntry* entry = FindIniEntry(autorun, key);
      if (entry == nullptr) continue;
      if (first == nullptr) first = entry;
      const std::string program = ProgramOf(ReturnedValue(entry->value));
      if (launcher == nullptr && SameName(FileNameOf(program), "autorun.exe")) launcher = entry;
    }
    if (launcher == nullptr) {
      const std::string program = first ? ProgramOf(ReturnedValue(first->value)) : "";
      Add(Severity::Warning, "autorun-inf-open", "autorun", first ? Narrow(first->name) : "open",
          first ? first->line : 0,
          first == nullptr ? "there is no open= in [autorun]"
                           : Narrow(first->name) + "= names \"" + program + "\", not autorun.exe",
          kNotStarted, "write open=autorun.exe in [autorun]");
      return;
    }
    const std::string key = Narrow(launcher->name);
    const std::string program = ProgramOf(ReturnedValue(launcher->value));
    findings_.Name({kAutorunInf, "autorun", key, launcher->line, program});
    if (!FindInTree(findings_.Medium(), program)) {
      findings_
          .AddMissing(Severity::Error, "no-launcher", kAutorunInf, "autorun", key, program,
                      key + "= names \"" + program + "\", which is not on the medium",
                      "the desktop's automatic start of the medium starts nothing, and there is "
                      "no launcher to start by hand",
                      "put autorun.exe in the medium's root, beside autorun.inf")
          .line = launcher->line;
      return;
    }
    // A folder may become a USB stick; an image is a disc, where it counts.
    if (findings_.Kind() == MediumKind::Folder) {
      Add(Severity::Note, "usb-ignores-open", "autorun", key, launcher->line,
          "on a USB stick, Windows 7 and later (and earlier Windows with the AutoPlay update "
          "KB971029) ignore open= and shellexecute=; only discs start the launcher",
          "from a USB stick the user opens the drive and starts autorun.exe by hand (the "
          "label and icon still show)",
          "nothing for a disc; for a USB stick, tell the user to start autorun.exe");
    }
  }

  void CheckLabel(const IniSection& autorun) {
    const IniEntry* label = FindIniEntry(autorun, "label");
    if (label == nullptr) return;
    std::u32string_view text = TrimIniBlanks(label->value);
    // One pair of quotes around it is no part of the label.
    if (text.size() > 1 && (text[0] == U'"' || text[0] == U'\'') && text.back() == text[0]) {
      text = text.substr(1, text.size() - 2);
    }
    if (text.size() <= kLabelShown) return;
    Add(Severity::Note, "long-label", "autorun", "label", label->line,
        "label= has " + std::to_string(text.size()) + " characters",
        "Explorer shows the drive's name in its first 32 characters only: \"" +
            Narrow(text.substr(0, kLabelShown)) + "\"",
        "shorten the label to 32 characters");
  }

  void CheckIcon(const IniSection& autorun) {
    const IniEntry* icon = FindIniEntry(autorun, "icon");
    if (icon == nullptr) return;
    const std::string value = ReturnedValue(icon->value);
    const std::size_t comma = value.rfind(',');
    const std::string file = Trimmed(value.substr(0, comma));
    if (comma != std::string::npos && !IsIconIndex(Trimmed(value.substr(comma + 1)))) {
      Add(Severity::Warning, "icon-index", "autorun", "icon", icon->line,
          "icon= \"" + value + "\" has no whole number after its comma",
          "Windows finds no icon by it and shows the standard drive icon",
          "write icon=FILE or icon=FILE,INDEX with INDEX a number, e.g. icon=setup.exe,0");
    }
    if (file.empty()) return;
    findings_.Name({kAutorunInf, "autorun", "icon", icon->line, file});
    if (!FindInTree(findings_.Medium(), file)) {
      findings_
          .AddMissing(Severity::Warning, "no-icon-file", kAutorunInf, "autorun", "icon", file,
                      "icon= names \"" + file + "\", which is not on the medium",
                      "Explorer and AutoPlay show the standard drive icon",
                      "put the icon file there (relative to the medium's root), or correct icon=")
          .line = icon->line;
    }
  }

  void CheckAutoPlay(const IniSection& autorun) {
    if (const IniEntry* action = FindIniEntry(autorun, "action")) {
      Add(Severity::Note, "action-unused", "autorun", "action", action->line,
          "action= labels the launcher's entry in AutoPlay's dialog for USB sticks and hard "
          "disks only, which Windows 7 and later no longer offer at all",
          "a disc ignores it; it shows only on older Windows without the AutoPlay update",
          "nothing; remove it if the medium is a disc");
    }
    const IniEntry* useAutoPlay = FindIniEntry(autorun, "UseAutoPlay");
    if (useAutoPlay != nullptr && ReturnedValue(useAutoPlay->value) == "1") {
      Add(Severity::Warning, "use-autoplay", "autorun", "UseAutoPlay", useAutoPlay->line,
          "UseAutoPlay=1 leaves open= and shellexecute= out of AutoPlay",
          "inserting the medium never offers or starts the launcher: the user must open the "
          "drive and start autorun.exe",
          "remove UseAutoPlay=1");
    }
  }

  void Add(Severity severity, const char* code, const std::string& section, const std::string& key,
           int line, std::string problem, std::string consequence, std::string action) {
    findings_
        .Add(severity, code, kAutorunInf, section, key, std::move(problem), std::move(consequence),
             std::move(action))
        .line = line;
  }

  MediumFindings& findings_;
};

}  // namespace

void JudgeAutorunInf(MediumFindings& findings) { AutorunInfJudge(findings).Run(); }
