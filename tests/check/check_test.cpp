// autorun-check on the host: the reader's rules, the findings on media made in
// a temporary folder and on disc images mastered from them, and --simulate on
// the roads the end-to-end suite drives autorun.exe through under Wine (rows
// named after its cases, same outcomes).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "check/flows/simulate.h"
#include "check/flows/start_prediction.h"
#include "check/judge/image_check.h"
#include "check/judge/medium_check.h"
#include "check/print/finding_codes.h"
#include "check/print/findings_help.h"
#include "check/print/text_report.h"
#include "check/read/ini_reader.h"
#include "check/read/program_identity.h"

namespace fs = std::filesystem;

namespace {

// A medium folder of its own for each test, removed afterwards.
class Medium {
 public:
  explicit Medium(const std::string& name)
      : root_(fs::temp_directory_path() / ("autorun-check-" + name)) {
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~Medium() {
    std::error_code ignored;
    fs::permissions(root_ / "locked", fs::perms::owner_all, ignored);
    fs::remove_all(root_, ignored);
  }
  void Write(const std::string& relative, const std::string& bytes) const {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative, std::ios::binary) << bytes;
  }
  const fs::path& Root() const { return root_; }

 private:
  fs::path root_;
};

// A row's name as a test name: its first word, dashes made underscores.
template <typename Row>
std::string RowName(const testing::TestParamInfo<Row>& row) {
  std::string name = row.param.name;
  name = name.substr(0, name.find(' '));
  for (char& c : name) c = c == '-' ? '_' : c;
  return name;
}

struct ReaderCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::string expected;
};

const std::string k1030(1030, 'v');

const ReaderCase kReaderCases[] = {
    {"plain", "[Config]\r\nUnInstKey=Prod\r\n", "Config", "UnInstKey", "Prod"},
    {"names-ignore-case", "[CONFIG]\nuninstkey=Prod\n", "Config", "UnInstKey", "Prod"},
    {"blanks-trimmed", " [ Config ] \n \t UnInstKey \t= \t a b \t\x1a\n", "Config", "UnInstKey",
     "a b"},
    {"cr-alone-ends-a-line", "[Config]\rUnInstKey=Prod\r", "Config", "UnInstKey", "Prod"},
    {"no-final-newline", "[Config]\nUnInstKey=Prod", "Config", "UnInstKey", "Prod"},
    // Windows knows only UTF-16 LE's mark; Wine also decodes the other two.
    {"utf8-mark-hides-first-section", "\xEF\xBB\xBF[Config]\nUnInstKey=caf\xC3\xA9\n", "Config",
     "UnInstKey", ""},
    {"utf8-mark-before-comment-gives-ansi-bytes",
     "\xEF\xBB\xBF;c\n[Config]\nUnInstKey=caf\xC3\xA9\n", "Config", "UnInstKey", "caf\xC3\xA9"},
    {"utf16-be-file-has-no-section",
     std::string("\xFE\xFF\0[\0C\0o\0n\0f\0i\0g\0]\0\n\0K\0=\0v", 26), "Config", "K", ""},
    {"utf16-file", std::string("\xFF\xFE[\0C\0o\0n\0f\0i\0g\0]\0\n\0K\0e\0y\0=\0v\0", 30), "Config",
     "Key", "v"},
    {"comment-never-matches", "[Config]\n;UnInstKey=x\n", "Config", "UnInstKey", ""},
    {"inline-semicolon-kept", "[Config]\nUnInstKey=a ;b\n", "Config", "UnInstKey", "a ;b"},
    {"double-quotes-dropped", "[Config]\nUnInstKey=\" a \"\n", "Config", "UnInstKey", " a "},
    {"single-quotes-dropped", "[Config]\nUnInstKey='a'\n", "Config", "UnInstKey", "a"},
    {"mismatched-quotes-kept", "[Config]\nUnInstKey=\"a'\n", "Config", "UnInstKey", "\"a'"},
    {"lone-quote-kept", "[Config]\nUnInstKey=\"\n", "Config", "UnInstKey", "\""},
    {"first-section-only", "[Config]\nA=1\n[config]\nUnInstKey=2\n", "Config", "UnInstKey", ""},
    {"first-key-wins", "[Config]\nUnInstKey=1\nUNINSTKEY=2\n", "Config", "UnInstKey", "1"},
    {"line-without-equals-reads-empty", "[Config]\nUnInstKey\nUnInstKey=2\n", "Config", "UnInstKey",
     ""},
    {"unclosed-header-is-a-key", "[Config]\n[AppRun\nRunFirst=r\n", "Config", "RunFirst", "r"},
    {"header-up-to-last-bracket", "[Con]fig]\nUnInstKey=a\n", "Con]fig", "UnInstKey", "a"},
    {"key-before-any-section", "UnInstKey=a\n[Config]\n", "Config", "UnInstKey", ""},
    {"nul-cuts-value", std::string("[Config]\nUnInstKey=ab\0cd\n", 24), "Config", "UnInstKey",
     "ab"},
    {"nul-cuts-name", std::string("[Config]\nUnInstKey\0x=v\n", 22), "Config", "UnInstKey", "v"},
    {"cut-to-1023", "[Config]\nUnInstKey=" + k1030 + "\n", "Config", "UnInstKey",
     k1030.substr(0, 1023)},
    {"quoted-just-fitting-loses-one-more",
     "[Config]\nUnInstKey=\"" + std::string(1023, 'q') + "\"\n", "Config", "UnInstKey",
     std::string(1022, 'q')},
    {"quoted-1022-kept-whole", "[Config]\nUnInstKey=\"" + std::string(1022, 'q') + "\"\n", "Config",
     "UnInstKey", std::string(1022, 'q')},
    {"nbsp-is-no-blank", "[Config]\nUnInstKey=\xA0x\n", "Config", "UnInstKey", "\xA0x"},
};

class Reader : public testing::TestWithParam<ReaderCase> {};

TEST_P(Reader, GivesThePlatformsValue) {
  const ReaderCase& c = GetParam();
  EXPECT_EQ(ReadIniValue(ParseIni(c.file), c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, Reader, testing::ValuesIn(kReaderCases), RowName<ReaderCase>);

const std::string kGoodDat =
    "[Config]\r\nUnInstKey=Prod\r\nSetupPath=setup\\setup.exe\r\nSetupTitle=Prod Setup\r\n"
    "ExeName=prod.exe\r\nProductLink=\\Prod\\Prod.lnk\r\n[AppRun]\r\nRunFirst=extras\\first.exe\r\n"
    "Installed=extras\\tools.exe\r\n";

std::string Edited(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

// ASCII text as UTF-16 with its byte-order mark.
std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : ascii) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return bytes;
}

struct FindingCase {
  const char* name;
  std::optional<std::string> installDat;
  std::optional<std::string> autorunInf;
  std::multiset<std::string> expected;  // "severity code key"
  int status;
  std::string says = "";  // a text that one finding's line holds
};

// A folder may become a USB stick, where Windows ignores open=: a note.
const std::string kUsbNote = "2 usb-ignores-open open";
// Names of 87 and 111 characters, and one Windows does not allow, all on
// every medium of the table.
const std::string k87 = std::string(83, 'm') + ".exe";
const std::string k111 = std::string(107, 'n') + ".exe";
std::string Template(const char* name) {
  std::ifstream file(fs::path(AUTORUN_SOURCE_DIR) / "examples" / "templates" / name);
  return std::string(std::istreambuf_iterator<char>(file), {});
}
const std::string kTemplateInf = Template("autorun.inf");
const std::string kTemplateDat = Template("install.dat");

const FindingCase kFindingCases[] = {
    {"good-medium", kGoodDat, "[autorun]\r\nopen=autorun.exe\r\n", {kUsbNote}, 0},
    {"names-match-any-case",
     Edited(kGoodDat, "setup\\setup.exe", "SETUP\\Setup.EXE"),
     "[AutoRun]\nOPEN=\"AUTORUN.EXE\" /x\n",
     {"2 usb-ignores-open OPEN"},
     0},
    {"nothing-there", std::nullopt, std::nullopt, {"0 no-install-dat ", "1 no-autorun-inf "}, 1},
    {"no-config",
     "[AppRun]\nRunFirst=extras\\first.exe\nInstalled=extras\\tools.exe\n",
     "[autorun]\nopen=setup.exe\n",
     {"0 no-config ", "1 autorun-inf-open open"},
     1},
    {"empty-and-missing",
     "[Config]\nUnInstKey=\nSetupPath=\nSetupTitle=\nExeName=\n[AppRun]\n",
     "[autorun]\nopen=autorun.exe\n",
     {"0 empty-key UnInstKey", "0 empty-key SetupPath", "1 empty-key SetupTitle",
      "1 empty-key ExeName", "0 missing-key ProductLink", "1 missing-key RunFirst",
      "1 missing-key Installed", kUsbNote},
     1},
    {"bad-paths",
     Edited(Edited(kGoodDat, "setup\\setup.exe", "\\setup\\missing.exe"), "\\Prod\\Prod.lnk",
            "Prod\\Prod.url"),
     "[autorun]\nopen=autorun.exe\n",
     {"1 program-backslash SetupPath", "0 no-such-program SetupPath",
      "0 link-no-backslash ProductLink", "1 link-not-lnk ProductLink", kUsbNote},
     1},
    {"product-link-with-forward-slashes",
     Edited(kGoodDat, "\\Prod\\Prod.lnk", "/Prod/Prod.lnk"),
     "[autorun]\nopen=autorun.exe\n",
     {"0 link-no-backslash ProductLink", kUsbNote},
     1,
     "Fix: write it as \\Prod\\Prod.lnk."},
    {"typos-and-duplicates",
     kGoodDat + "[Confg]\nExeName=x\n[config]\nUnInstKey=y\n[AppRun]\nRunFrist=z\n"
                "Installed=extras\\tools.exe\n",
     "[autorun]\nopen=autorun.exe\n",
     {"1 unread-section ", "1 duplicate-section ", "1 duplicate-section ", kUsbNote},
     1,
     "install.dat:12 [config]: section [config] appears again"},
    {"keys-in-wrong-place",
     "ExeName=top\n" + Edited(kGoodDat, "ExeName", "RunFirst") + "Installed\nInstalled=again\n",
     "[autorun]\nopen=autorun.exe\n",
     {"1 unread-section ", "1 unknown-key RunFirst", "1 missing-key ExeName",
      "1 no-equals Installed", "1 duplicate-key Installed", "1 duplicate-key Installed", kUsbNote},
     1},
    {"long-values",
     Edited(Edited(kGoodDat, "=Prod\r", "=" + std::string(980, 'k') + "\r"), "=Prod Setup",
            "=" + std::string(2000, 't')),
     "[autorun]\nopen=autorun.exe\n",
     {"0 uninstkey-too-long UnInstKey", "1 value-cut SetupTitle", kUsbNote},
     1},
    // The key's full path where its name belongs: the product never counts
    // as installed, and the setup starts on every insertion.
    {"uninstkey-full-path",
     Edited(kGoodDat, "=Prod\r",
            "=HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{1D2E}\r"),
     "[autorun]\nopen=autorun.exe\n",
     {"0 uninstkey-path UnInstKey", kUsbNote},
     1,
     "write the entry's name alone: UnInstKey={1D2E}"},
    {"arguments-in-setup-path",
     Edited(kGoodDat, "=setup\\setup.exe", "=\"setup\\setup.exe\" /silent"),
     "[autorun]\nopen=autorun.exe\n",
     {"0 program-arguments SetupPath", kUsbNote},
     1,
     "(setup\\setup.exe)"},
    {"arguments-without-quotes",
     Edited(kGoodDat, "=setup\\setup.exe", "=setup\\setup.exe -s"),
     "[autorun]\nopen=autorun.exe\n",
     {"0 program-arguments SetupPath", kUsbNote},
     1},
    // Before mastering: what Joliet will cut, and what Windows cannot open.
    {"long-and-forbidden-names",
     Edited(Edited(Edited(kGoodDat, "extras\\first.exe", "extras\\" + k87), "extras\\tools.exe",
                   "extras\\" + k111),
            "setup\\setup.exe", "setup\\setup?.exe"),
     "[autorun]\nopen=autorun.exe\n",
     {"1 name-over-64 RunFirst", "1 name-over-103 Installed", "1 name-characters SetupPath",
      kUsbNote},
     1,
     "holds a name of 111 characters"},
    {"no-apprun-is-one-note",
     kGoodDat.substr(0, kGoodDat.find("[AppRun]")),
     "[autorun]\nopen=autorun.exe\n",
     {"2 no-apprun ", kUsbNote},
     0},
    {"utf8-mark-on-config-line-is-an-error",
     "\xEF\xBB\xBF" + kGoodDat,
     "[autorun]\nopen=autorun.exe\n",
     {"0 utf8-mark-hides-section ", kUsbNote},
     1},
    {"utf8-mark-before-comment-is-a-note",
     "\xEF\xBB\xBF; made by an editor\r\n" + kGoodDat,
     "[autorun]\nopen=autorun.exe\n",
     {"2 utf8-mark ", kUsbNote},
     0},
    {"utf16-be-is-an-error",
     Utf16(kGoodDat, true),
     "[autorun]\nopen=autorun.exe\n",
     {"0 utf16-be-file ", kUsbNote},
     1},
    {"utf16-le-is-a-note",
     Utf16(kGoodDat, false),
     "[autorun]\nopen=autorun.exe\n",
     {"2 unicode-file ", kUsbNote},
     0},
    {"binary-file",
     std::string("\0\xFF\x01[\x80\0=\r\n\xFE", 11) + std::string(5000, '\xC3'),
     "\xFF\xFE\0\0",
     {"0 no-config ", "1 unread-section ", "2 no-apprun ", "1 autorun-inf-open "},
     1},
    // autorun.inf as AutoPlay reads it.
    {"autorun-inf-utf8-mark-hides-autorun",
     kGoodDat,
     "\xEF\xBB\xBF[autorun]\r\nopen=autorun.exe\r\n",
     {"0 utf8-mark-hides-section "},
     1,
     "autorun.inf:1 [autorun]"},
    {"long-label",
     kGoodDat,
     "[autorun]\nopen=autorun.exe\nlabel=" + std::string(40, 'L') + "\n",
     {"2 long-label label", kUsbNote},
     0},
    {"missing-icon",
     kGoodDat,
     "[autorun]\nopen=autorun.exe\nicon=missing.ico\n",
     {"1 no-icon-file icon", kUsbNote},
     1},
    {"autoplay-entries",
     kGoodDat,
     "[autorun]\nopen=autorun.exe\nicon=autorun.exe,first\naction=Install\nUseAutoPlay=1\n"
     "shell\\readme=Read me\nOpne=x\n[Contents]\n",
     {"1 icon-index icon", "2 action-unused action", "1 use-autoplay UseAutoPlay",
      "2 unknown-autorun-entry Opne", "2 unknown-autorun-entry ", kUsbNote},
     1},
    {"release-template",
     kGoodDat,
     kTemplateInf,
     {kUsbNote, "2 template-placeholder label", "2 template-placeholder icon"},
     0},
    // Every value of the templates is a placeholder the table knows.
    {"release-templates-left-unchanged",
     kTemplateDat,
     kTemplateInf,
     {kUsbNote, "2 template-placeholder label", "2 template-placeholder icon",
      "2 template-placeholder UnInstKey", "2 template-placeholder SetupPath",
      "2 template-placeholder SetupTitle", "2 template-placeholder ExeName",
      "2 template-placeholder ProductLink", "2 template-placeholder RunFirst",
      "2 template-placeholder Installed", "0 no-such-program SetupPath",
      "0 no-such-program RunFirst", "0 no-such-program Installed"},
     1},
};

// A program of the signature rows (tests/signing/make-signed-programs.sh).
std::string Program(const std::string& name) {
  std::ifstream file(fs::path(AUTORUN_PROGRAMS) / name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

const std::string kSignerNote = "2 signer ";

// "severity code key", as the tables give a finding; its line must name its
// file and say what to do, and its code be one the table of codes explains.
std::string Seen(const Finding& finding, std::string& lines) {
  const std::string line = FormatFinding(finding);
  lines += line + "\n";
  EXPECT_NE(line.find(finding.file), std::string::npos) << line;
  EXPECT_NE(line.find("Fix: "), std::string::npos) << line;
  EXPECT_NE(FindFindingCode(finding.code), nullptr) << line;
  return std::to_string(static_cast<int>(finding.severity)) + " " + finding.code + " " +
         finding.key;
}

class Findings : public testing::TestWithParam<FindingCase> {};

TEST_P(Findings, AreReportedWithTheirSeverity) {
  const FindingCase& c = GetParam();
  const Medium medium(c.name);
  for (const std::string& program :
       {std::string("autorun.exe"), std::string("setup/setup.exe"), std::string("extras/first.exe"),
        std::string("extras/tools.exe"), std::string("setup/setup?.exe"), "extras/" + k87,
        "extras/" + k111}) {
    medium.Write(program, Program("signed.exe"));
  }
  medium.Write("YourProduct.ico", "icon");
  if (c.installDat) medium.Write("install.dat", *c.installDat);
  if (c.autorunInf) medium.Write("autorun.inf", *c.autorunInf);
  std::multiset<std::string> seen;
  std::string lines;
  for (const Finding& finding : CheckMedium(medium.Root())) seen.insert(Seen(finding, lines));
  // The stand-ins are one signed program: a note names its signer.
  std::multiset<std::string> expected = c.expected;
  expected.insert(kSignerNote);
  EXPECT_EQ(seen, expected);
  EXPECT_NE(lines.find(c.says), std::string::npos) << lines;
}

INSTANTIATE_TEST_SUITE_P(Media, Findings, testing::ValuesIn(kFindingCases), RowName<FindingCase>);

// Disc images mastered from the sample medium (examples/medium, with stand-in
// programs) and faulty variants of it, by the tools publishers use, into the
// build folder; each row gives the findings on the names Windows reads and
// the real checker's exit status. Rock Ridge is on in every xorriso image.
enum class Variant { Sample, LongName, LongName111, Msi, NoLauncher, FolderAbove };
enum class Damage { None, NotAnImage, Truncated, Loop };

struct ImageCase {
  const char* name;
  const char* master;  // {image} and {medium} stand for the image and the folder
  Variant variant;
  std::multiset<std::string> expected;
  int status;
  Damage damage = Damage::None;
  std::string says = "";  // a text that one finding's line holds
};

const std::string kLongName = std::string(90, 'a') + ".exe";
const std::string kLongName111 = std::string(107, 'b') + ".exe";
constexpr char kJolietLong[] = "xorriso -as mkisofs -quiet -J -joliet-long -o {image} {medium}";
constexpr char kJoliet[] = "xorriso -as mkisofs -quiet -J -o {image} {medium}";
constexpr char kNoJoliet[] = "xorriso -as mkisofs -quiet -o {image} {medium}";
constexpr char kBridge[] = "genisoimage -quiet -udf -o {image} {medium}";
const std::string kNamesNote = "2 image-names ";

const ImageCase kImageCases[] = {
    {"joliet-long", kJolietLong, Variant::Sample, {kNamesNote}, 0},
    {"joliet-long-keeps-a-long-name", kJolietLong, Variant::LongName, {kNamesNote}, 0},
    {"joliet-cuts-a-long-name",
     kJoliet,
     Variant::LongName,
     {kNamesNote, "0 cut-by-joliet RunFirst"},
     1,
     Damage::None,
     "hold cut to 65: \"" + std::string(61, 'a') + ".exe\""},
    // The long option was used: Joliet's longest name cut it, as the image
    // shows; only a shorter name helps.
    {"joliet-long-cuts-a-111-character-name",
     kJolietLong,
     Variant::LongName111,
     {kNamesNote, "0 cut-by-joliet RunFirst"},
     1,
     Damage::None,
     "holds a name of 111 characters, which the image's Joliet names, the ones Windows reads, "
     "hold cut to 104"},
    {"no-joliet-gives-8-3-names", kNoJoliet, Variant::Sample, {kNamesNote, "1 no-joliet "}, 1},
    {"no-joliet-cuts-setup-x64-msi",
     kNoJoliet,
     Variant::Msi,
     {kNamesNote, "1 no-joliet ", "0 mastered-without-joliet SetupPath"},
     1},
    {"hidden-from-joliet-is-rock-ridge-only",
     "xorriso -as mkisofs -quiet -J -joliet-long -hide-joliet tools.exe -o {image} {medium}",
     Variant::Sample,
     {kNamesNote, "0 rock-ridge-only Installed"},
     1},
    {"udf-bridge", kBridge, Variant::Sample, {kNamesNote}, 0},
    {"udf-bridge-keeps-a-long-name", kBridge, Variant::LongName, {kNamesNote}, 0},
    // genisoimage cuts UDF names as it cuts Joliet ones.
    {"udf-bridge-with-joliet-cuts-a-long-name",
     "genisoimage -quiet -udf -J -R -o {image} {medium}",
     Variant::LongName,
     {kNamesNote, "0 cut-in-udf RunFirst"},
     1},
    // No name set holds it whole: the UDF name is found by the start it kept.
    {"udf-cut-found-by-its-kept-start",
     "genisoimage -quiet -udf -J -o {image} {medium}",
     Variant::LongName,
     {kNamesNote, "0 cut-in-udf RunFirst"},
     1,
     Damage::None,
     "hold cut to 64: \"" + std::string(64, 'a') + "\""},
    {"no-launcher", kJolietLong, Variant::NoLauncher, {kNamesNote, "0 no-launcher open"}, 1},
    {"folder-above-mastered",
     kJolietLong,
     Variant::FolderAbove,
     {kNamesNote, "0 no-install-dat ", "1 no-autorun-inf "},
     1},
    {"not-an-image", kJolietLong, Variant::Sample, {"0 not-a-disc-image "}, 1, Damage::NotAnImage},
    {"truncated", kJolietLong, Variant::Sample, {"0 not-a-disc-image "}, 1, Damage::Truncated},
    {"directories-loop", kNoJoliet, Variant::Sample, {"0 not-a-disc-image "}, 1, Damage::Loop},
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

std::string FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The sample medium, or a variant, in `folder`.
void WriteSample(const Medium& medium, Variant variant) {
  const std::string at = variant == Variant::FolderAbove ? "disc1/" : "";
  const fs::path sample = fs::path(AUTORUN_SOURCE_DIR) / "examples" / "medium";
  std::string dat = FileBytes(sample / "install.dat");
  if (variant == Variant::LongName) dat = Edited(dat, "extras\\readme.exe", "extras\\" + kLongName);
  if (variant == Variant::LongName111) {
    dat = Edited(dat, "extras\\readme.exe", "extras\\" + kLongName111);
  }
  if (variant == Variant::Msi) dat = Edited(dat, "=setup\\setup.exe", "=setup\\setup_x64.msi");
  medium.Write(at + "install.dat", dat);
  medium.Write(at + "autorun.inf", FileBytes(sample / "autorun.inf"));
  const std::string program = Program("signed.exe");
  for (const std::string path : {"setup/setup.exe", "extras/readme.exe", "extras/tools.exe"}) {
    medium.Write(at + path, program);
  }
  medium.Write(at + "setup/setup_x64.msi", Program("package.msi"));
  medium.Write(at + "extras/" + kLongName, program);
  medium.Write(at + "extras/" + kLongName111, program);
  if (variant != Variant::NoLauncher) medium.Write(at + "autorun.exe", program);
}

std::uint32_t Little32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}
// ISO 9660 keeps a number twice: little-endian, then big-endian.
void PutBoth32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes[at + i] = bytes[at + 7 - i] = static_cast<char>(value >> (8 * i));
  }
}

// Turns the first file record of the root's EXTRAS folder into a folder
// record pointing back at the root: a directory that loops.
void MakeDirectoriesLoop(std::string& image) {
  const std::size_t root = 16 * 2048 + 156;
  const std::uint32_t rootAt = Little32(image, root + 2), rootSize = Little32(image, root + 10);
  const auto records = [&](std::uint32_t at, std::uint32_t size) {
    std::vector<std::size_t> offsets;
    for (std::size_t offset = std::size_t{at} * 2048, end = offset + size; offset < end;) {
      const auto length = static_cast<unsigned char>(image[offset]);
      if (length == 0) {
        offset = (offset / 2048 + 1) * 2048;
        continue;
      }
      offsets.push_back(offset);
      offset += length;
    }
    return offsets;
  };
  const auto name = [&](std::size_t record) {
    return image.substr(record + 33, static_cast<unsigned char>(image[record + 32]));
  };
  for (const std::size_t folder : records(rootAt, rootSize)) {
    if (name(folder) != "EXTRAS") continue;
    for (const std::size_t record :
         records(Little32(image, folder + 2), Little32(image, folder + 10))) {
      if (name(record).size() <= 1) continue;  // "." and ".."
      image[record + 25] = static_cast<char>(image[record + 25] | 2);
      PutBoth32(image, record + 2, rootAt);
      PutBoth32(image, record + 10, rootSize);
      return;
    }
  }
  ADD_FAILURE() << "no file record in EXTRAS to make loop";
}

class Images : public testing::TestWithParam<ImageCase> {};

TEST_P(Images, AreCheckedByTheNamesWindowsReads) {
  const ImageCase& c = GetParam();
  const Medium medium(std::string("image-") + c.name);
  WriteSample(medium, c.variant);
  const fs::path images = fs::current_path() / "images";
  fs::create_directories(images);
  const fs::path image = images / (std::string(c.name) + ".iso");
  fs::remove(image);
  const std::string command =
      Replaced(Replaced(c.master, "{image}", image.string()), "{medium}", medium.Root().string());
  ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
  std::string bytes = FileBytes(image);
  if (c.damage == Damage::NotAnImage) bytes = kGoodDat;
  if (c.damage == Damage::Truncated) bytes.resize(bytes.size() / 2);
  if (c.damage == Damage::Loop) MakeDirectoriesLoop(bytes);
  std::ofstream(image, std::ios::binary | std::ios::trunc) << bytes;

  std::multiset<std::string> seen;
  std::string lines;
  for (const Finding& finding : CheckImage(image).findings) seen.insert(Seen(finding, lines));
  // A readable image's programs are one signed program: a note names its
  // signer.
  std::multiset<std::string> expected = c.expected;
  if (expected.count(kNamesNote) != 0) expected.insert(kSignerNote);
  EXPECT_EQ(seen, expected);
  EXPECT_NE(lines.find(c.says), std::string::npos) << lines;
  const int status =
      std::system((std::string(AUTORUN_CHECK) + " " + image.string() + " >/dev/null").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), c.status);
}

INSTANTIATE_TEST_SUITE_P(Mastered, Images, testing::ValuesIn(kImageCases), RowName<ImageCase>);

// Each program the medium holds judged as Windows will judge it, on the
// folder and on images mastered from it: with Joliet (libarchive reads its
// files in order only) and as a UDF bridge disc (libudfread seeks). The
// medium is the good one, every program signed and time-stamped, with the
// row's file in the row's place. Whether Windows trusts the throwaway root
// cannot be shown here nor under Wine (which accepts it, where Windows
// answers CERT_E_UNTRUSTEDROOT): the signer note says so.
struct ProgramCase {
  const char* name;
  std::map<std::string, std::string> files;  // path on the medium: program's name
  std::multiset<std::string> expected;       // besides the signer note
  int status;
  bool signLater = false;
  std::string dat = kGoodDat;
  std::map<std::string, std::string> links = {};  // a second name: the file it names
};

const ProgramCase kProgramCases[] = {
    {"signed-and-time-stamped-sha256", {}, {}, 0},
    {"unsigned-setup", {{"setup/setup.exe", "unsigned.exe"}}, {"0 unsigned SetupPath"}, 1},
    {"setup-changed-after-signing",
     {{"setup/setup.exe", "changed.exe"}},
     {"0 signature-broken SetupPath"},
     1},
    {"setup-without-time-stamp",
     {{"setup/setup.exe", "no-stamp.exe"}},
     {"1 no-time-stamp SetupPath"},
     1},
    {"setup-signed-with-an-expired-certificate",
     {{"setup/setup.exe", "expired.exe"}},
     {"0 signature-expired SetupPath"},
     1},
    {"setup-sha1-only", {{"setup/setup.exe", "sha1.exe"}}, {"1 sha1-only SetupPath"}, 1},
    {"setup-is-a-text-file", {{"setup/setup.exe", "text.exe"}}, {"0 not-a-program SetupPath"}, 1},
    {"setup-is-a-dos-program", {{"setup/setup.exe", "dos.exe"}}, {"0 16-bit-program SetupPath"}, 1},
    {"package-named-as-setup",
     {{"setup/setup.msi", "package.msi"}},
     {"0 installer-package SetupPath"},
     1,
     false,
     Edited(kGoodDat, "setup\\setup.exe", "setup\\setup.msi")},
    // PE32+ keeps its data directories 16 bytes further on: the digest
    // leaves out the right ones.
    {"signed-x64-program", {{"extras/tools.exe", "x64.exe"}}, {"2 x64-program Installed"}, 0},
    {"unsigned-launcher", {{"autorun.exe", "unsigned.exe"}}, {"0 unsigned open"}, 1},
    {"unsigned-run-first", {{"extras/first.exe", "unsigned.exe"}}, {"1 unsigned RunFirst"}, 1},
    // Other programs: one finding per kind of fault, naming them all.
    {"other-programs-grouped",
     {{"lib/a.dll", "unsigned.exe"}, {"lib/b.dll", "unsigned.exe"}, {"lib/c.exe", "dos.exe"}},
     {"1 unsigned ", "1 16-bit-program "},
     1},
    {"second-signer", {{"extras/tools.exe", "other.exe"}}, {kSignerNote, "2 several-signers "}, 0},
    {"sign-later-makes-notes",
     {{"setup/setup.exe", "unsigned.exe"}, {"extras/tools.exe", "no-stamp.exe"}},
     {"2 unsigned SetupPath", "2 no-time-stamp Installed"},
     0,
     true},
    // An image holds a hard-linked file's data once; libarchive gives it with
    // the first name only.
    {"hard-linked-copy", {}, {}, 0, false, kGoodDat, {{"lib/copy.exe", "setup/setup.exe"}}},
    {"hard-linked-install-dat", {}, {}, 0, false, kGoodDat, {{"a-copy.dat", "install.dat"}}},
};

class Programs : public testing::TestWithParam<ProgramCase> {};

TEST_P(Programs, AreJudgedAsWindowsWillOnFolderAndImages) {
  const ProgramCase& c = GetParam();
  const Medium medium(std::string("programs-") + c.name);
  medium.Write("install.dat", c.dat);
  medium.Write("autorun.inf", "[autorun]\r\nopen=autorun.exe\r\n");
  const std::string signedProgram = Program("signed.exe");
  for (const char* path :
       {"autorun.exe", "setup/setup.exe", "extras/first.exe", "extras/tools.exe"}) {
    medium.Write(path, signedProgram);
  }
  for (const auto& [path, program] : c.files) medium.Write(path, Program(program));
  for (const auto& [link, target] : c.links) {
    fs::create_directories((medium.Root() / link).parent_path());
    fs::create_hard_link(medium.Root() / target, medium.Root() / link);
  }
  std::multiset<std::string> expected = c.expected;
  expected.insert(kSignerNote);
  JudgeOptions options;
  options.signatureFindingsAsNotes = c.signLater;

  std::multiset<std::string> seen;
  std::string lines;
  for (const Finding& finding : CheckMedium(medium.Root(), options)) {
    seen.insert(Seen(finding, lines));
  }
  // A folder may become a USB stick, which ignores open=.
  std::multiset<std::string> onFolder = expected;
  onFolder.insert(kUsbNote);
  EXPECT_EQ(seen, onFolder) << "folder";

  const fs::path images = fs::current_path() / "images";
  fs::create_directories(images);
  expected.insert(kNamesNote);
  for (const char* master : {kJolietLong, kBridge}) {
    const fs::path image = images / (std::string("programs-") + c.name + ".iso");
    fs::remove(image);
    const std::string command =
        Replaced(Replaced(master, "{image}", image.string()), "{medium}", medium.Root().string());
    ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
    seen.clear();
    for (const Finding& finding : CheckImage(image, options).findings) {
      seen.insert(Seen(finding, lines));
    }
    EXPECT_EQ(seen, expected) << master;
    const int status =
        std::system((std::string(AUTORUN_CHECK) + (c.signLater ? " --sign-later " : " ") +
                     image.string() + " >/dev/null")
                        .c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status) << master;
  }
}

INSTANTIATE_TEST_SUITE_P(Signatures, Programs, testing::ValuesIn(kProgramCases),
                         RowName<ProgramCase>);

// What a file's headers make of it, from bytes written as the PE format lays
// them out and then broken one field at a time: a reason, never a read past
// what is there.
struct PeFields {
  std::uint16_t machine = 0x14C;
  std::uint16_t magic = 0x10B;
  std::uint16_t sections = 1;
  std::uint16_t optionalSize = 224;
  std::uint32_t directories = 16;
  std::uint16_t characteristics = 0x0102;
  std::uint32_t sectionSize = 0x200;
  std::size_t fileSize = 0x400;
};

void Put(std::string& bytes, std::size_t at, std::uint32_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::string PeFile(const PeFields& f) {
  std::string bytes(f.fileSize, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  Put(bytes, 0x3C, 0x40, 4);
  bytes.replace(0x40, 4, std::string("PE\0\0", 4));
  Put(bytes, 0x44, f.machine, 2);
  Put(bytes, 0x46, f.sections, 2);
  Put(bytes, 0x54, f.optionalSize, 2);
  Put(bytes, 0x56, f.characteristics, 2);
  Put(bytes, 0x58, f.magic, 2);
  const std::size_t fixed = f.magic == 0x20B ? 112 : 96;
  Put(bytes, 0x58 + 60, 0x200, 4);  // SizeOfHeaders
  Put(bytes, 0x58 + 68, 2, 2);      // a windows program
  Put(bytes, 0x58 + fixed - 4, f.directories, 4);
  const std::size_t section = 0x58 + f.optionalSize;
  Put(bytes, section + 16, f.sectionSize, 4);  // SizeOfRawData
  Put(bytes, section + 20, 0x200, 4);          // PointerToRawData
  return bytes;
}

struct IdentityCase {
  const char* name;
  std::string bytes;
  ProgramKind kind;
  std::uint16_t machine;
  bool malformed;
};

PeFields With(void (*change)(PeFields&)) {
  PeFields fields;
  change(fields);
  return fields;
}

const IdentityCase kIdentityCases[] = {
    {"pe32-i386", PeFile({}), ProgramKind::Windows, 0x14C, false},
    {"pe32plus-x64",
     PeFile(With([](PeFields& f) { f.machine = 0x8664, f.magic = 0x20B, f.optionalSize = 240; })),
     ProgramKind::Windows, 0x8664, false},
    {"arm64",
     PeFile(With([](PeFields& f) { f.machine = 0xAA64, f.magic = 0x20B, f.optionalSize = 240; })),
     ProgramKind::Windows, 0xAA64, false},
    {"empty-file", "", ProgramKind::NotAProgram, 0, false},
    {"script", "@echo off\r\n", ProgramKind::NotAProgram, 0, false},
    {"compound-file", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(100, '\0'),
     ProgramKind::InstallerPackage, 0, false},
    {"mz-alone-is-cut-short", "MZ", ProgramKind::Dos, 0, true},
    {"e_lfanew-past-the-end-is-dos", PeFile({}).substr(0, 0x40) + "\xFF", ProgramKind::Dos, 0,
     false},
    {"ne-header", PeFile({}).replace(0x40, 2, "NE"), ProgramKind::Windows16, 0, false},
    {"lx-header", PeFile({}).replace(0x40, 2, "LX"), ProgramKind::Linear, 0, false},
    {"cut-in-the-file-header", PeFile({}).substr(0, 0x50), ProgramKind::Windows, 0, true},
    {"section-data-past-the-end", PeFile(With([](PeFields& f) { f.sectionSize = 0x10000; })),
     ProgramKind::Windows, 0x14C, true},
    {"97-sections", PeFile(With([](PeFields& f) { f.sections = 97; })), ProgramKind::Windows, 0x14C,
     true},
    {"optional-header-too-small", PeFile(With([](PeFields& f) { f.optionalSize = 64; })),
     ProgramKind::Windows, 0x14C, true},
    {"too-many-data-directories", PeFile(With([](PeFields& f) { f.directories = 0xFFFFFFFF; })),
     ProgramKind::Windows, 0x14C, true},
    {"unknown-magic", PeFile(With([](PeFields& f) { f.magic = 0x107; })), ProgramKind::Windows,
     0x14C, true},
};

class Identity : public testing::TestWithParam<IdentityCase> {};

TEST_P(Identity, ComesFromTheHeadersWithinBounds) {
  const IdentityCase& c = GetParam();
  ProgramLayout layout;
  const ProgramIdentity identity = ReadProgramIdentity(c.bytes, c.bytes.size(), layout);
  EXPECT_EQ(identity.kind, c.kind);
  EXPECT_EQ(identity.machine, c.machine);
  EXPECT_EQ(!identity.malformed.empty(), c.malformed) << identity.malformed;
}

INSTANTIATE_TEST_SUITE_P(Headers, Identity, testing::ValuesIn(kIdentityCases),
                         RowName<IdentityCase>);

// Huge and unreadable inputs end in findings, never in a crash or a hang.
TEST(FindingsOnHostileMedia, HugeFileAndLockedFolder) {
  const Medium medium("hostile");
  medium.Write("install.dat", kGoodDat);
  fs::resize_file(medium.Root() / "install.dat", std::uintmax_t{100} << 20);
  fs::create_directories(medium.Root() / "locked");
  fs::permissions(medium.Root() / "locked", fs::perms::none);
  medium.Write("autorun.inf", "[autorun]\nopen=autorun.exe\n");
  std::set<std::string> codes;
  for (const Finding& finding : CheckMedium(medium.Root())) codes.insert(finding.code);
  EXPECT_TRUE(codes.count("too-large"));
  EXPECT_FALSE(codes.count("no-config"));  // the good lines at its start are read
  EXPECT_FALSE(CheckMedium(medium.Root() / "locked").empty());
  EXPECT_FALSE(FindInTree(FolderTree(medium.Root()), "locked\\x.exe"));
}

// What Windows makes of a start, on machines Wine cannot be: another
// processor's Windows, 32-bit Windows, Smart App Control in each state. The
// end-to-end suite holds the explanation's use of it to the launcher.
struct StartRow {
  const char* name;
  ProgramKind kind;
  std::uint16_t machine;  // the program's; x86 unless said
  std::uint16_t native;   // this Windows'
  bool validlySigned;
  SmartAppControlState control;
  StartOutcome outcome;
  std::uint16_t subsystem = 2;
  bool library = false;
  const char* malformed = "";
};

constexpr std::uint16_t kX86 = 0x014C, kX64 = 0x8664, kArm64 = 0xAA64;
using SAC = SmartAppControlState;
const StartRow kStartRows[] = {
    {"unsigned-with-control-on-is-blocked", ProgramKind::Windows, kX86, kX64, false, SAC::On,
     StartOutcome::Blocked},
    {"unsigned-with-control-off-starts", ProgramKind::Windows, kX86, kX64, false, SAC::Off,
     StartOutcome::Starts},
    {"unsigned-without-control-starts", ProgramKind::Windows, kX86, kX64, false,
     SAC::NotOnThisWindows, StartOutcome::Starts},
    {"unsigned-with-control-in-evaluation-may-be-blocked", ProgramKind::Windows, kX86, kX64, false,
     SAC::Evaluation, StartOutcome::MayBeBlocked},
    {"unsigned-with-an-undocumented-state-starts", ProgramKind::Windows, kX86, kX64, false,
     SAC::Unknown, StartOutcome::Starts},
    {"signed-with-control-on-starts", ProgramKind::Windows, kX86, kX64, true, SAC::On,
     StartOutcome::Starts},
    {"text-fails-before-control-is-asked", ProgramKind::NotAProgram, 0, kX64, false, SAC::On,
     StartOutcome::Fails},
    {"installer-package-fails", ProgramKind::InstallerPackage, 0, kX64, false, SAC::Off,
     StartOutcome::Fails},
    {"dos-fails-on-64-bit-windows", ProgramKind::Dos, 0, kX64, false, SAC::Off,
     StartOutcome::Fails},
    {"dos-is-left-to-32-bit-windows", ProgramKind::Dos, 0, kX86, false, SAC::NotOnThisWindows,
     StartOutcome::Starts},
    {"windows-16-bit-fails-on-arm64", ProgramKind::Windows16, 0, kArm64, false, SAC::Off,
     StartOutcome::Fails},
    {"linear-fails", ProgramKind::Linear, 0, kX86, false, SAC::Off, StartOutcome::Fails},
    {"x64-fails-on-32-bit-windows", ProgramKind::Windows, kX64, kX86, true, SAC::Off,
     StartOutcome::Fails},
    {"x64-starts-emulated-on-arm64", ProgramKind::Windows, kX64, kArm64, true, SAC::Off,
     StartOutcome::Starts},
    {"arm64-fails-on-x64", ProgramKind::Windows, kArm64, kX64, true, SAC::Off, StartOutcome::Fails},
    {"library-fails", ProgramKind::Windows, kX86, kX64, true, SAC::Off, StartOutcome::Fails, 2,
     true},
    {"native-subsystem-fails", ProgramKind::Windows, kX86, kX64, true, SAC::Off,
     StartOutcome::Fails, 1},
    {"damaged-headers-fail", ProgramKind::Windows, kX86, kX64, true, SAC::Off, StartOutcome::Fails,
     2, false, "cut short"},
};

class Start : public testing::TestWithParam<StartRow> {};

TEST_P(Start, IsPredictedAsWindowsJudgesIt) {
  const StartRow& row = GetParam();
  ProgramIdentity identity;
  identity.kind = row.kind;
  identity.machine = row.machine;
  identity.subsystem = row.subsystem;
  identity.library = row.library;
  identity.malformed = row.malformed;
  const StartPrediction prediction =
      PredictStart(identity, row.native, row.validlySigned, row.control);
  EXPECT_EQ(prediction.outcome, row.outcome) << prediction.why;
  EXPECT_FALSE(prediction.why.empty());
}

INSTANTIATE_TEST_SUITE_P(Machines, Start, testing::ValuesIn(kStartRows), RowName<StartRow>);

// Every code of the table is listed by --help and explained in the
// publishers' guide under a heading of its own, "code (severity)", in the
// table's order; the guide has no heading the table lacks.
TEST(FindingCodes, AreListedByHelpAndExplainedInTheGuide) {
  std::vector<std::string> table;
  const std::string help = FindingsHelp();
  for (const FindingCode& row : FindingCodes()) {
    table.push_back(std::string(row.code) + " (" + SeverityName(row.severity) + ")");
    EXPECT_NE(help.find("  " + std::string(row.code) + " "), std::string::npos) << row.code;
  }
  std::ifstream guide(fs::path(AUTORUN_SOURCE_DIR) / "docs" / "README-publishers.txt");
  std::vector<std::string> headings;
  bool inCodes = false;
  for (std::string line; std::getline(guide, line);) {
    // The section of the codes, up to the next numbered one.
    const bool numbered = !line.empty() && std::isdigit(static_cast<unsigned char>(line[0])) &&
                          line.find(". ") != std::string::npos;
    if (numbered) inCodes = line.find(". Findings, code by code") != std::string::npos;
    const std::size_t open = line.find(" (");
    if (inCodes && !line.empty() && line[0] != ' ' && open != std::string::npos &&
        line.back() == ')' && line.find(' ') == open) {
      headings.push_back(line);
    }
  }
  EXPECT_EQ(headings, table);
}

// The end-to-end suite's medium and machine: installed, shortcut present,
// CLASSPATH "A;" in the launcher's environment and "B;" stored, medium at R:\.
struct Road {
  const char* name;  // the end-to-end case it mirrors
  std::vector<const char*> options;
  std::vector<std::string> outcome;  // box:, start:, classpath:, wait: and end: lines
  std::string editFrom = "";
  std::string editTo = "";
};

const std::string kE2eDat =
    "[Config]\r\nUnInstKey=AutorunE2EProduct\r\nSetupPath=setup\\setup.exe\r\n"
    "SetupTitle=Autorun E2E Setup\r\nExeName=\\Product\\product.exe\r\n"
    "ProductLink=\\AutorunE2E\\Product.lnk\r\n[AppRun]\r\nRunFirst=extras\\runfirst.exe\r\n"
    "Installed=extras\\installed.exe\r\n";
const char* const kTarget = "--shortcut";
const char* const kTargetValue = "C:\\work\\Product\\product.exe,C:\\work\\Product Work";
const std::string kProductStart =
    "start: program \"C:\\work\\Product\\product.exe\", working directory \"C:\\work\\Product "
    "Work\", class path merged";
const std::string kWait = "wait: the launcher waits until the program ends";
std::string MediumStart(const char* program) {
  return std::string("start: program \"R:\\") + program +
         "\", working directory \"R:\\\", class path not merged";
}
const std::string kMerged = "classpath: CLASSPATH=\"A;B;\"";
const std::string kLinkBox = "box: caption \"Autorun\", text \"Application link isn't found.\"";
const std::string kPsapiBox = "box: caption \"Fatal Error\", text \"Failed to load PSAPI.DLL\"";

const Road kRoads[] = {
    {"not-installed-autorun-starts-setup-and-waits",
     {"--not-installed"},
     {MediumStart("setup\\setup.exe"), kWait}},
    {"not-installed-direct-run-starts-runfirst",
     {"--not-installed", "--tail", "-a"},
     {MediumStart("extras\\runfirst.exe")}},
    {"not-installed-ignores-setup-window-and-running-product",
     {"--not-installed", "--setup-window", "--product-running"},
     {MediumStart("setup\\setup.exe"), kWait}},
    {"installed-autorun-merges-classpath", {}, {kProductStart, kMerged, kWait}},
    {"installed-autorun-stored-classpath-only",
     {"--no-classpath"},
     {kProductStart, "classpath: CLASSPATH=\"B;\"", kWait}},
    {"installed-autorun-classpath-already-holds-stored",
     {"--classpath", "x;B;y"},
     {kProductStart,
      "classpath: CLASSPATH=\"x;B;y\" unchanged (already holds the stored class path)", kWait}},
    {"installed-autorun-nothing-stored-leaves-classpath-unset",
     {"--no-classpath", "--nothing-stored"},
     {kProductStart, "classpath: CLASSPATH unset unchanged (nothing stored for the user)", kWait}},
    {"installed-direct-run-starts-installed-program",
     {"--tail", "-a"},
     {MediumStart("extras\\installed.exe")}},
    {"installed-direct-run-slash-switch", {"--tail", "/a"}, {MediumStart("extras\\installed.exe")}},
    {"exe-name-empty",
     {},
     {kProductStart, kMerged, kWait},
     "ExeName=\\Product\\product.exe",
     "ExeName="},
    {"setup-title-missing",
     {"--setup-window"},
     {kProductStart, kMerged, kWait},
     "SetupTitle=Autorun E2E Setup",
     ""},
    {"exe-name-differing-in-case-does-not-match (the probe's answer)",
     {},
     {kProductStart, kMerged, kWait}},
    {"psapi-lacking-function-then-product-starts",
     {"--psapi-missing-function"},
     {kPsapiBox, kProductStart, kMerged, kWait}},
    {"install-dat-missing",
     {},
     {"box: caption \"WARNING\", text \"R:\\\\install.dat\""},
     "[Config]",
     "[Config]\x01"},
    {"second-launcher-while-product-runs",
     {"--second-instance"},
     {"box: caption \"Autorun\", text \"The current programm is already running.\""}},
    {"setup-window-present",
     {"--setup-window"},
     {"box: caption \"WARNING\", text \"The setup is already running.\""}},
    {"product-running",
     {"--product-running"},
     {"box: caption \"WARNING\", text \"The programm is already running.\""}},
    {"shortcut-missing", {"--no-shortcut"}, {kLinkBox}},
    {"product-link-without-leading-backslash", {}, {kLinkBox}, "=\\AutorunE2E", "=AutorunE2E"},
    {"psapi-lacking-function-then-shortcut-missing",
     {"--psapi-missing-function", "--no-shortcut"},
     {kPsapiBox, kLinkBox}},
    // Windows' reading, which Wine's does not share: no [Config], so the
    // product counts as not installed and the setup path is the root alone.
    {"utf8-mark-on-config-line-hides-it",
     {},
     {"end: the launcher ends silently"},
     "[Config]",
     "\xEF\xBB\xBF[Config]"},
};

class Simulation : public testing::TestWithParam<Road> {};

TEST_P(Simulation, AgreesWithTheEndToEndSuite) {
  const Road& road = GetParam();
  const Medium medium("simulate");
  for (const char* program : {"setup/setup.exe", "extras/runfirst.exe", "extras/installed.exe"}) {
    medium.Write(program, "MZ");
  }
  // A byte 1 in the edit stands for "no install.dat at all".
  const std::string dat =
      road.editFrom.empty() ? kE2eDat : Edited(kE2eDat, road.editFrom, road.editTo);
  if (dat.find('\x01') == std::string::npos) medium.Write("install.dat", dat);

  std::vector<const char*> argv = {"autorun-check", "--simulate", "R",         "--medium-root",
                                   "R:\\",          kTarget,      kTargetValue};
  bool installed = true, classPath = true, stored = true;
  for (const std::string option : road.options) {
    if (option == "--not-installed")
      installed = false;
    else if (option == "--no-classpath")
      classPath = false;
    else if (option == "--nothing-stored")
      stored = false;
  }
  for (const char* option : road.options) {
    if (std::string(option).rfind("--no", 0) != 0 || std::string(option) == "--no-shortcut") {
      argv.push_back(option);
    }
  }
  if (installed) argv.push_back("--installed");
  if (stored) argv.insert(argv.end(), {"--stored-classpath", "B;"});
  if (classPath && std::find(argv.begin(), argv.end(), std::string("--classpath")) == argv.end()) {
    argv.insert(argv.end(), {"--classpath", "A;"});
  }
  MachineDescription machine;
  std::string error;
  ASSERT_TRUE(ParseMachineOptions(static_cast<int>(argv.size()), argv.data(), 3, machine, error))
      << error;
  std::istringstream output(Simulate(FolderTree(medium.Root()), machine));
  std::vector<std::string> outcome;
  for (std::string line; std::getline(output, line);) {
    if (line.rfind("step: ", 0) != 0) outcome.push_back(line);
  }
  EXPECT_EQ(outcome, road.outcome);
}

INSTANTIATE_TEST_SUITE_P(Roads, Simulation, testing::ValuesIn(kRoads), RowName<Road>);

}  // namespace
