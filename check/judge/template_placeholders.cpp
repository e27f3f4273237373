// The templates in the release bundle (examples/templates) name a product
// that does not exist. A medium that still holds one of their values works
// only by chance, so each is a note: the launcher, or AutoPlay, takes the
// value as written.
#include "check/judge/template_placeholders.h"

#include <cstring>

namespace {

struct Placeholder {
  const char* file;
  const char* section;
  const char* key;
  const char* value;  // as examples/templates writes it
  const char* consequence;
};

constexpr char kNamesNothing[] = "the launcher takes it as written, and it names nothing of yours";

const Placeholder kPlaceholders[] = {
    {"install.dat", "Config", "UnInstKey", "YourProductUninstallKey",
     "the launcher looks for that uninstall entry: your product never counts as installed, and "
     "its setup starts on every insertion"},
    {"install.dat", "Config", "SetupPath", "setup\\YourSetup.exe", kNamesNothing},
    {"install.dat", "Config", "SetupTitle", "Your Product Setup",
     "the launcher does not see your setup's window while it runs"},
    {"install.dat", "Config", "ExeName", "\\Your Product\\YourProduct.exe",
     "the launcher does not see your product running and may start it a second time"},
    {"install.dat", "Config", "ProductLink", "\\Your Product\\Your Product.lnk", kNamesNothing},
    {"install.dat", "AppRun", "RunFirst", "extras\\YourReadme.exe", kNamesNothing},
    {"install.dat", "AppRun", "Installed", "extras\\YourTools.exe", kNamesNothing},
    {"autorun.inf", "autorun", "label", "Your Product",
     "Explorer and AutoPlay show the drive by the template's name"},
    {"autorun.inf", "autorun", "icon", "YourProduct.ico", "the drive shows the template's icon"},
};

}  // namespace

void NotePlaceholders(const IniDocument& document, const char* file, MediumFindings& findings) {
  for (const Placeholder& placeholder : kPlaceholders) {
    if (std::strcmp(placeholder.file, file) != 0) continue;
    const IniSection* section = FindIniSection(document, placeholder.section);
    const IniEntry* entry = section ? FindIniEntry(*section, placeholder.key) : nullptr;
    if (entry == nullptr || ReturnedValue(entry->value) != placeholder.value) continue;
    Finding& finding = findings.Add(
        Severity::Note, "template-placeholder", file, placeholder.section, placeholder.key,
        std::string(placeholder.key) + " still holds the template's value \"" + placeholder.value +
            "\"",
        placeholder.consequence,
        "write your product's own value, as the template's comment above the key says");
    finding.line = entry->line;
  }
}
