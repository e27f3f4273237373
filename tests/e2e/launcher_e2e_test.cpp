// autorun.exe itself under Wine, started from the root of a sample medium on
// a machine state built for each case. Every message box is read back and
// dismissed in order; the stand-in program the launcher starts reports its
// path, working directory and CLASSPATH; the launcher must wait for it in
// autorun mode only, start nothing else, and end with exit code 0. On each
// road, one case runs the build's signed copy, which must behave the same.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <list>
#include <vector>

#include "tests/e2e/e2e_harness.h"
#include "tests/e2e/explanation.h"
#include "tests/support/code_page_932.h"
#include "tests/support/message_boxes.h"
#include "tests/support/registry_scope.h"
#include "tests/support/shortcut_file.h"
#include "tests/support/text_conversion.h"

bool operator==(const SeenMessageBox& a, const SeenMessageBox& b) {
  return a.caption == b.caption && a.text == b.text;
}
void PrintTo(const SeenMessageBox& box, std::ostream* out) {
  *out << '"' << box.caption << "\" / \"" << box.text << '"';
}

namespace {

constexpr char kUnInstKey[] = "AutorunE2EProduct";
constexpr char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// Wine's library overrides, per program: the launcher's, and the checker's
// for the explanation run in the same state.
constexpr const char* kOverridden[] = {"autorun.exe", "autorun-check.exe"};
constexpr char kSetupTitle[] = "Autorun E2E Setup";
constexpr char kLink[] = "\\AutorunE2E\\Product.lnk";
constexpr char kProduct[] = "{work}Product\\product.exe";
constexpr char kProductWork[] = "{work}Product Work";
constexpr char kSetup[] = "{medium}setup\\setup.exe";
constexpr char kSmartAppControlKey[] = "SYSTEM\\CurrentControlSet\\Control\\CI\\Policy";
constexpr DWORD kPatienceMs = 10000;
// Long enough for a launcher that does not wait to have ended.
constexpr DWORD kWaitCheckMs = 700;
constexpr bool kWaits = true;
constexpr bool kNoWait = false;
constexpr char kElevating[] = "autorun_elevating.exe";
constexpr char kRefused[] = "autorun_refused.exe";
// Every start needs elevation, and the medium's drive is a redirected network
// drive, whose share is {work}Share.
constexpr char kNetwork[] = "autorun_network.exe";
// The build's copy signed with a throwaway certificate.
constexpr char kSigned[] = "autorun-signed.exe";
// The shell's link object resolves as Windows documents: a target that names
// nothing fails the resolution, where Wine's always succeeds.
constexpr char kWindowsResolution[] = "autorun_windows_resolution.exe";
// The same, and a resolution hands back the target the link was loaded with,
// as Windows' may give a 32-bit reader the "(x86)" view again.
constexpr char kX86Resolution[] = "autorun_x86_resolution.exe";
// The checker whose trust verdict is Windows': a signature that chains to a
// root this machine does not trust is refused, where Wine's accepts it.
constexpr char kWindowsTrust[] = "autorun-check_windows_trust.exe";
// Smart App Control's states, as VerifiedAndReputablePolicyState holds them.
constexpr DWORD kSacOff = 0;
constexpr DWORD kSacOn = 1;
constexpr DWORD kSacEvaluation = 2;
// A program started through the shell with elevation gets the user's
// standard environment on Windows, built from the stored variables, so it
// sees the stored CLASSPATH alone; Wine hands it the launcher's merged one.
// Neither holds on both, so such rows assert nothing about it.
constexpr char kClassPathNotAsserted[] = "(not asserted: elevated)";

enum class LinkPlace { None, AllUsers, CurrentUser };
enum class Psapi { System, LackingFunction, PlantedOnMedium };
// The program that installer_product.msi installs, and the descriptors of
// advertised shortcuts: to its component, and to a product never installed.
constexpr char kInstalledProduct[] = "{programs86}AutorunInstallerProduct\\product.exe";
constexpr GUID kInstallerProduct = {
    0x6E5F3A9C, 0x1B2D, 0x4C3E, {0x8F, 0x70, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x60}};
constexpr GUID kInstallerComponent = {
    0x6E5F3A9C, 0x1B2D, 0x4C3E, {0x8F, 0x70, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x62}};
constexpr GUID kUnknownProduct = {
    0x0BADC0DE, 0x1B2D, 0x4C3E, {0x8F, 0x70, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x60}};
const std::wstring kAdvertised =
    InstallerDescriptor(kInstallerProduct, L"Main", kInstallerComponent);
const std::wstring kAdvertisedUnknown =
    InstallerDescriptor(kUnknownProduct, L"Main", kInstallerComponent);
using Config = std::map<std::pair<std::string, std::string>, std::string>;
// A product's program and folder, as a 32-bit program reads them from a link
// that a 64-bit setup made relative to the program-files folder, and where
// the 64-bit build is.
constexpr char kX86Product[] = "{programs86}AutorunE2ENative\\product.exe";
constexpr char kX86Folder[] = "{programs86}AutorunE2ENative";
constexpr char kNativeProduct[] = "{programs}AutorunE2ENative\\product.exe";
constexpr char kNativeFolder[] = "{programs}AutorunE2ENative";
// The product's program as a setup names it through a variable (the
// harness sets it for the launcher to inherit).
constexpr char kProductByVariable[] = "%AUTORUN_E2E_WORK%Product\\product.exe";

// Whether this test program runs under WOW64. It is built in the launcher's
// bitness, so the launcher does too: only there does it take a "(x86)" path
// that names nothing for the native one.
bool UnderWow64() {
  BOOL underWow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &underWow64) && underWow64;
}

// One run of the launcher: the machine, the command-line tail, and what must
// come of it. The defaults are the installed product with its all-users
// shortcut, CLASSPATH=A; in the launcher's environment and B; stored for the
// user, no setup window, nothing running, autorun mode.
struct Case {
  explicit Case(const char* caseName) : name(caseName) {}

  Case& NotInstalled() { return installed = false, *this; }
  Case& Tail(const char* text) { return tail = text, *this; }
  // A null value removes the key.
  Case& Value(const char* section, const char* key, const char* value) {
    if (value == nullptr) config->erase({section, key});
    if (value != nullptr) (*config)[{section, key}] = value;
    return *this;
  }
  Case& NoConfigFile() { return config.reset(), *this; }
  Case& Link(LinkPlace place) { return link = place, *this; }
  Case& LinkNamed(const char* file) {
    return linkName = file, Value("Config", "ProductLink", file);
  }
  Case& Target(const char* path) { return target = path, *this; }
  // An advertised shortcut of Windows Installer's, holding `descriptor`.
  Case& Advertised(const std::wstring& descriptor) { return advertised = descriptor, *this; }
  // The system's installer library swapped for one without its functions.
  Case& InstallerLackingFunctions() { return installerStandIn = true, *this; }
  Case& LinkStartsIn(const char* directory) { return linkDirectory = directory, *this; }
  // The shortcut written from the file format, with the data blocks of a
  // link relative to the program-files folder (shortcut_file.h).
  Case& StoredLink(unsigned blocks, const char* environmentTarget = "") {
    return storedLink = StoredTarget{blocks, WideFromUtf8(environmentTarget)}, *this;
  }
  // A copy of the stand-in program there, in a folder of its own.
  Case& Placed(const char* path) { return placed.push_back(path), *this; }
  // In UTF-8; set and stored in UTF-16.
  Case& ClassPaths(const char* inEnvironment, const char* stored) {
    return classPath = inEnvironment, storedClassPath = stored, *this;
  }
  Case& StoredAs(DWORD type) { return storedType = type, *this; }
  Case& SetupWindow() { return setupWindow = true, *this; }
  Case& Running(const char* path) { return running = path, *this; }
  Case& With(Psapi kind) { return psapi = kind, *this; }
  Case& WhileFirstWaits() { return whileFirstWaits = true, *this; }
  // The guard's name held by foreign_guard.exe (e2e_harness.h).
  Case& GuardTakenBy(const char* how) { return foreignGuard = how, *this; }
  Case& CodePage932() { return codePage932 = true, *this; }
  // autorun-check --explain runs first, from the medium's root, in the same
  // state: it must predict what the launcher then does, and change nothing.
  Case& Explained() { return explained = true, *this; }
  // The explanation by another checker (a file beside the tests).
  Case& Checker(const char* file) { return checker = file, *this; }
  // Text the explanation must hold.
  Case& ExplainSays(const char* text) { return explanationHolds.push_back(text), *this; }
  // The explanation predicts that Windows blocks the start (Smart App
  // Control): nothing starts, status 1. Wine has no Smart App Control, so
  // the launcher starts the program anyway: such a row holds the prediction
  // alone, and the launcher to what it does under Wine.
  Case& PredictsBlocked() { return predictsBlocked = true, *this; }
  // Smart App Control's state, written where Windows keeps it.
  Case& SmartAppControl(DWORD state) { return smartAppControl = state, *this; }
  // The medium's setup\setup.exe replaced by a program make-signed-programs.sh made.
  Case& SetupFile(const char* sample) { return setupFile = sample, *this; }
  // The setup carries the internet's mark (ZoneId=3 in its Zone.Identifier).
  Case& SetupFromTheInternet() { return setupMarked = true, *this; }
  // Started from the read-only CD-ROM drive of the mastered image, whose
  // install.dat holds this suite's defaults, instead of the medium's drive.
  Case& FromCdrom() { return fromCdrom = true, *this; }
  // The launcher variant on the medium (elevating: every start needs
  // elevation and goes through the shell; refused: the prompt is declined).
  Case& Launcher(const char* file) { return launcher = file, *this; }
  Case& Shows(const char* caption, const char* text) {
    return boxes.push_back({caption, text}), *this;
  }
  Case& Starts(const char* path, const char* directory, const char* seen, bool wait) {
    return program = path, cwd = directory, seenClassPath = seen, waits = wait, *this;
  }
  Case& StartsUnderWow64(const char* path, const char* directory, const char* seen, bool wait) {
    return UnderWow64() ? Starts(path, directory, seen, wait) : *this;
  }

  std::string name;
  bool installed = true;
  std::string tail;
  std::optional<Config> config = Config{
      {{"Config", "UnInstKey"}, kUnInstKey},
      {{"Config", "SetupPath"}, "setup\\setup.exe"},
      {{"Config", "SetupTitle"}, kSetupTitle},
      {{"Config", "ExeName"}, "\\Product\\product.exe"},
      {{"Config", "ProductLink"}, kLink},
      {{"AppRun", "RunFirst"}, "extras\\runfirst.exe"},
      {{"AppRun", "Installed"}, "extras\\installed.exe"},
  };
  LinkPlace link = LinkPlace::AllUsers;
  std::string linkName = kLink;
  std::string target = kProduct;
  std::string linkDirectory = kProductWork;  // the shortcut's "Start in"
  std::wstring advertised;                   // empty: a plain shortcut
  std::optional<StoredTarget> storedLink;    // none: made by the shell's link object
  std::vector<std::string> placed;
  bool installerStandIn = false;
  const char* classPath = "A;";        // null: unset
  const char* storedClassPath = "B;";  // null: none stored
  DWORD storedType = REG_SZ;
  bool setupWindow = false;
  std::string running;
  Psapi psapi = Psapi::System;
  bool whileFirstWaits = false;
  const char* foreignGuard = nullptr;
  bool codePage932 = false;
  bool explained = false;
  std::string checker = "autorun-check.exe";
  std::vector<std::string> explanationHolds;
  bool predictsBlocked = false;
  std::optional<DWORD> smartAppControl;
  std::string setupFile;
  bool setupMarked = false;
  bool fromCdrom = false;
  std::string launcher = "autorun.exe";

  std::vector<SeenMessageBox> boxes;
  std::string program;  // empty: nothing is started
  std::string cwd;
  std::string seenClassPath;
  bool waits = false;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

constexpr char kLauncherRunning[] = "The current programm is already running.";
constexpr char kSetupRunning[] = "The setup is already running.";
constexpr char kProductRunning[] = "The programm is already running.";
constexpr char kLinkMissing[] = "Application link isn't found.";
constexpr char kPsapiBroken[] = "Failed to load PSAPI.DLL";

// Roads that end in a started program.
const Case kStarts[] = {
    Case("not-installed-autorun-starts-setup-and-waits")
        .Explained()
        .NotInstalled()
        .Starts(kSetup, "{medium}", "A;", kWaits),
    Case("not-installed-direct-run-starts-runfirst")
        .Explained()
        .NotInstalled()
        .Tail("-a")
        .Starts("{medium}extras\\runfirst.exe", "{medium}", "A;", kNoWait),
    Case("not-installed-ignores-setup-window-and-running-product")
        .NotInstalled()
        .SetupWindow()
        .Running(kProduct)
        .Starts(kSetup, "{medium}", "A;", kWaits),
    Case("installed-autorun-merges-classpath")
        .Explained()
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("signed-not-installed-autorun-starts-setup-and-waits")
        .Launcher(kSigned)
        .NotInstalled()
        .Starts(kSetup, "{medium}", "A;", kWaits),
    Case("signed-installed-autorun-merges-classpath")
        .Launcher(kSigned)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("installed-autorun-stored-classpath-only")
        .ClassPaths(nullptr, "B;")
        .Starts(kProduct, kProductWork, "B;", kWaits),
    Case("installed-autorun-classpath-already-holds-stored")
        .ClassPaths("x;B;y", "B;")
        .Starts(kProduct, kProductWork, "x;B;y", kWaits),
    Case("installed-autorun-nothing-stored-leaves-classpath-unset")
        .ClassPaths(nullptr, nullptr)
        .Starts(kProduct, kProductWork, "(unset)", kWaits),
    Case("installed-direct-run-starts-installed-program")
        .Explained()
        .Tail("-a")
        .Starts("{medium}extras\\installed.exe", "{medium}", "A;", kNoWait),
    Case("installed-direct-run-slash-switch")
        .Tail("/a")
        .Starts("{medium}extras\\installed.exe", "{medium}", "A;", kNoWait),
    Case("direct-run-switch-after-other-words")
        .Tail("x  y /a")
        .Starts("{medium}extras\\installed.exe", "{medium}", "A;", kNoWait),
    Case("shortcut-target-with-blanks")
        .Target("{work}Program Files\\My Product\\my product.exe")
        .Starts("{work}Program Files\\My Product\\my product.exe", kProductWork, "A;B;", kWaits),
    Case("shortcut-with-blank-working-directory-starts-in-target-folder")
        .Explained()
        .LinkStartsIn("")
        .Starts(kProduct, "{work}Product", "A;B;", kWaits),
    Case("exe-name-missing")
        .Value("Config", "ExeName", nullptr)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("exe-name-empty")
        .Value("Config", "ExeName", "")
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("setup-title-missing")
        .Value("Config", "SetupTitle", nullptr)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("setup-title-empty")
        .Value("Config", "SetupTitle", "")
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("exe-name-differing-in-case-does-not-match")
        .Value("Config", "ExeName", "\\PRODUCT\\PRODUCT.EXE")
        .Running(kProduct)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("installed-libraries-planted-on-medium-are-not-loaded")
        .With(Psapi::PlantedOnMedium)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("setup-libraries-planted-on-medium-are-not-loaded")
        .NotInstalled()
        .With(Psapi::PlantedOnMedium)
        .Starts(kSetup, "{medium}", "A;", kWaits),
    // Every start needs elevation: the shell starts the program instead.
    Case("elevation-setup-through-shell-waits")
        .NotInstalled()
        .Launcher(kElevating)
        .Starts(kSetup, "{medium}", kClassPathNotAsserted, kWaits),
    Case("elevation-direct-run-through-shell-does-not-wait")
        .NotInstalled()
        .Tail("-a")
        .Launcher(kElevating)
        .Starts("{medium}extras\\runfirst.exe", "{medium}", kClassPathNotAsserted, kNoWait),
    Case("elevation-product-through-shell-in-its-working-directory")
        .Launcher(kElevating)
        .Starts(kProduct, kProductWork, kClassPathNotAsserted, kWaits),
    // An elevated program does not see the user's mapped drives: a medium on
    // one is handed on by its universal name. Wine maps no network drives,
    // so the drive's type and name are stood in for.
    Case("elevation-setup-on-network-drive-by-universal-name")
        .NotInstalled()
        .Launcher(kNetwork)
        .Starts("{work}Share\\setup\\setup.exe", "{work}Share", kClassPathNotAsserted, kWaits),
    Case("elevation-product-on-local-drive-keeps-its-path")
        .Launcher(kNetwork)
        .Starts(kProduct, kProductWork, kClassPathNotAsserted, kWaits),
    // A product installed by Windows Installer, whose advertised shortcut
    // names its component: the installer gives the program's path. Windows'
    // own GetPath would give the shortcut's icon file in the installer's
    // cache; Wine's gives nothing.
    Case("installer-advertised-shortcut-starts-the-installed-program")
        .Explained()
        .Advertised(kAdvertised)
        .Starts(kInstalledProduct, kProductWork, "A;B;", kWaits),
    Case("installer-advertised-shortcut-without-start-in-starts-in-its-folder")
        .Advertised(kAdvertised)
        .LinkStartsIn("")
        .Starts(kInstalledProduct, "{programs86}AutorunInstallerProduct", "A;B;", kWaits),
    Case("installer-product-from-a-plain-shortcut")
        .Target(kInstalledProduct)
        .Starts(kInstalledProduct, kProductWork, "A;B;", kWaits),
    // A link that a 64-bit setup made relative to the program-files folder:
    // a 32-bit reader is shown its "(x86)" view, where the 64-bit product is
    // not. Under WOW64 the launcher finds it in the native folder; the
    // 64-bit twin reads the stored "(x86)" path, which names nothing, and
    // starts nothing.
    Case("known-folder-link-to-a-64-bit-product-starts-it-from-the-native-folder")
        .Explained()
        .StoredLink(kKnownFolderBlock)
        .Target(kX86Product)
        .LinkStartsIn(kX86Folder)
        .Placed(kNativeProduct)
        .StartsUnderWow64(kNativeProduct, kNativeFolder, "A;B;", kWaits),
    Case("known-folder-link-with-both-builds-starts-the-x86-one")
        .StoredLink(kKnownFolderBlock)
        .Target(kX86Product)
        .LinkStartsIn(kX86Folder)
        .Placed(kNativeProduct)
        .Placed(kX86Product)
        .Starts(kX86Product, kX86Folder, "A;B;", kWaits),
    // Windows' resolution fails for a target that names nothing, so under
    // WOW64 the "(x86)" path is corrected before it, and a native file found
    // so is not resolved at all: a resolution that hands the "(x86)" target
    // back (the x86 variant) cannot undo it. Wine's resolution does neither.
    // The twin, which runs under no WOW64, corrects nothing: its resolution
    // fails, and nothing starts.
    Case("windows-resolution-x86-target-missing-starts-the-native-product")
        .Launcher(kWindowsResolution)
        .StoredLink(kKnownFolderBlock)
        .Target(kX86Product)
        .LinkStartsIn(kX86Folder)
        .Placed(kNativeProduct)
        .StartsUnderWow64(kNativeProduct, kNativeFolder, "A;B;", kWaits),
    Case("x86-resolution-gives-the-x86-target-back-starts-the-native-product")
        .Launcher(kX86Resolution)
        .StoredLink(kKnownFolderBlock)
        .Target(kX86Product)
        .LinkStartsIn(kX86Folder)
        .Placed(kNativeProduct)
        .StartsUnderWow64(kNativeProduct, kNativeFolder, "A;B;", kWaits),
    Case("windows-resolution-both-builds-starts-the-x86-one")
        .Launcher(kWindowsResolution)
        .StoredLink(kKnownFolderBlock)
        .Target(kX86Product)
        .LinkStartsIn(kX86Folder)
        .Placed(kNativeProduct)
        .Placed(kX86Product)
        .Starts(kX86Product, kX86Folder, "A;B;", kWaits),
    // Read from its own bytes with the folder and environment tracking off,
    // a link names the target and working directory it stores, whichever
    // blocks it carries. Wine honours neither block, so these show that the
    // patched copy loads as the file does, not the translation itself.
    Case("known-folder-link-read-untranslated-names-its-target-and-working-directory")
        .StoredLink(kKnownFolderBlock)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("environment-link-read-untranslated-names-its-target-and-working-directory")
        .StoredLink(kEnvironmentBlock, kProductByVariable)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("known-folder-and-environment-link-read-untranslated-names-its-target")
        .StoredLink(kKnownFolderBlock | kEnvironmentBlock, kProductByVariable)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("plain-link-from-the-format-names-its-target-and-working-directory")
        .StoredLink(kNoBlocks)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    Case("psapi-lacking-function-then-product-starts")
        .Explained()
        .With(Psapi::LackingFunction)
        .Shows("Fatal Error", kPsapiBroken)
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    // From a drive that reports itself as a CD-ROM drive and cannot be
    // written to, holding the mastered image's files by their Joliet names:
    // the launcher decides as from the folder and leaves the disc as it was.
    Case("cdrom-not-installed-autorun-starts-setup-and-waits")
        .Explained()
        .FromCdrom()
        .NotInstalled()
        .Starts("{cdrom}setup\\setup.exe", "{cdrom}", "A;", kWaits),
    Case("cdrom-installed-autorun-merges-classpath")
        .Explained()
        .FromCdrom()
        .Starts(kProduct, kProductWork, "A;B;", kWaits),
    // Windows' judgement before the start, with Smart App Control's state
    // written where Windows keeps it. Wine has no Smart App Control: with it
    // on, the launcher still starts the setup, and the row holds the
    // prediction alone.
    Case("smart-app-control-on-blocks-an-unsigned-setup")
        .Explained()
        .NotInstalled()
        .SmartAppControl(kSacOn)
        .PredictsBlocked()
        .ExplainSays("Smart App Control: on")
        .Starts(kSetup, "{medium}", "A;", kWaits),
    Case("smart-app-control-off-starts-an-unsigned-setup")
        .Explained()
        .NotInstalled()
        .SmartAppControl(kSacOff)
        .ExplainSays("Smart App Control: off")
        .Starts(kSetup, "{medium}", "A;", kWaits),
    // The mark changes nothing for the launcher's direct start; the
    // explanation names it, for SmartScreen's start through the shell.
    Case("setup-from-the-internet-is-named-as-such")
        .Explained()
        .NotInstalled()
        .SetupFromTheInternet()
        .ExplainSays("the internet's mark on the program: ZoneId=3")
        .Starts(kSetup, "{medium}", "A;", kWaits),
    Case("smart-app-control-in-evaluation-notes-that-an-unsigned-setup-may-be-blocked")
        .Explained()
        .NotInstalled()
        .SmartAppControl(kSacEvaluation)
        .ExplainSays("it may be blocked: Smart App Control is in evaluation")
        .Starts(kSetup, "{medium}", "A;", kWaits),
    // A setup signed under a throwaway root: Windows answers
    // CERT_E_UNTRUSTEDROOT, Wine S_OK. The checker variant that answers as
    // Windows does predicts the block; the checker itself, given Wine's
    // S_OK, predicts the start, as on a machine that trusts the root.
    Case("smart-app-control-on-blocks-a-setup-signed-under-an-untrusted-root")
        .Explained()
        .Checker(kWindowsTrust)
        .NotInstalled()
        .SmartAppControl(kSacOn)
        .SetupFile("signed.exe")
        .PredictsBlocked()
        .ExplainSays("WinVerifyTrust: 0x800B0109")
        .Starts(kSetup, "{medium}", "A;", kWaits),
    Case("smart-app-control-on-starts-a-setup-whose-signature-this-machine-trusts")
        .Explained()
        .NotInstalled()
        .SmartAppControl(kSacOn)
        .SetupFile("signed.exe")
        .ExplainSays("WinVerifyTrust: 0x00000000")
        .Starts(kSetup, "{medium}", "A;", kWaits),
};

// Roads that end in a message box, or in silence.
const Case kRefusals[] = {
    Case("elevation-prompt-declined-ends-silently").NotInstalled().Launcher(kRefused),
    Case("elevation-prompt-declined-direct-run-ends-silently")
        .NotInstalled()
        .Tail("-a")
        .Launcher(kRefused),
    // A drive root keeps its backslash and one more is put before the name.
    Case("install-dat-missing")
        .Explained()
        .NoConfigFile()
        .Shows("WARNING", "{medium}\\install.dat"),
    Case("second-launcher-while-product-runs")
        .Explained()
        .WhileFirstWaits()
        .Shows("Autorun", kLauncherRunning),
    Case("second-launcher-while-setup-runs")
        .NotInstalled()
        .WhileFirstWaits()
        .Shows("Autorun", kLauncherRunning),
    // The guard's name held where the launcher's CreateSemaphoreA, which asks
    // an existing semaphore for all access, gets no handle: the launcher ends
    // silently, as the explanation predicts. On Windows an elevated
    // launcher's guard is so to a standard user's; Wine elevates nothing, so
    // a semaphore that lets others only wait on it stands in for it.
    Case("guard-others-may-only-wait-on-ends-silently").Explained().GuardTakenBy("wait-only"),
    Case("guard-name-held-by-a-mutex-ends-silently").Explained().GuardTakenBy("mutex"),
    Case("setup-window-present").Explained().SetupWindow().Shows("WARNING", kSetupRunning),
    Case("product-running").Explained().Running(kProduct).Shows("WARNING", kProductRunning),
    Case("product-running-matched-by-folder-name")
        .Value("Config", "ExeName", "Held Product")
        .Running("{work}Held Product\\app.exe")
        .Shows("WARNING", kProductRunning),
    Case("shortcut-missing").Explained().Link(LinkPlace::None).Shows("Autorun", kLinkMissing),
    // The installer knows no such product: nothing starts, and no box (nor the
    // installer's repair) is shown.
    Case("installer-advertised-shortcut-of-unknown-product-starts-nothing")
        .Advertised(kAdvertisedUnknown),
    // Without the installer's functions the link is read as before, by the
    // shell's link object (its library is still consulted: the stand-in
    // leaves its mark). Wine's gives no path for an advertised link, so
    // nothing starts; Windows' gives the icon file in the installer's cache.
    Case("installer-library-lacking-functions-reads-the-link-as-before")
        .Advertised(kAdvertised)
        .InstallerLackingFunctions(),
    // Neither build is there: the start fails, silently.
    Case("known-folder-link-to-no-build-starts-nothing")
        .StoredLink(kKnownFolderBlock)
        .Target(kX86Product)
        .LinkStartsIn(kX86Folder),
    Case("windows-resolution-no-build-starts-nothing")
        .Launcher(kWindowsResolution)
        .StoredLink(kKnownFolderBlock)
        .Target(kX86Product)
        .LinkStartsIn(kX86Folder),
    Case("product-link-without-leading-backslash")
        .Value("Config", "ProductLink", "AutorunE2E\\Product.lnk")
        .Shows("Autorun", kLinkMissing),
    Case("shortcut-only-in-user-start-menu")
        .Link(LinkPlace::CurrentUser)
        .Shows("Autorun", kLinkMissing),
    Case("box-libraries-planted-on-medium-are-not-loaded")
        .With(Psapi::PlantedOnMedium)
        .SetupWindow()
        .Shows("WARNING", kSetupRunning),
    // Not a program Windows starts: CreateProcess fails, the launcher ends
    // silently. Wine refuses both as 64-bit Windows does (its DOS support
    // needs DOSBox, which is not installed).
    Case("setup-that-is-a-text-file-fails-silently")
        .Explained()
        .NotInstalled()
        .SetupFile("text.exe")
        .ExplainSays("not a Windows program"),
    Case("setup-that-is-a-dos-program-fails-silently")
        .Explained()
        .NotInstalled()
        .SetupFile("dos.exe")
        .ExplainSays("16-bit DOS program"),
    Case("psapi-lacking-function-then-shortcut-missing")
        .Explained()
        .With(Psapi::LackingFunction)
        .Link(LinkPlace::None)
        .Shows("Fatal Error", kPsapiBroken)
        .Shows("Autorun", kLinkMissing),
};

// Text outside the ANSI code page, in UTF-8: Polish letters that neither code
// page 1252 nor 932 holds, and Japanese ones that 1252 lacks. The product
// must be given exactly what was stored and inherited, and start from any
// folder. These run in both code pages.
constexpr char kPolishOwn[] = u8"C:\\Łódź\\own.jar;";
constexpr char kPolishStored[] = u8"C:\\Użytkownik\\stored.jar";
constexpr char kJapaneseOwn[] = u8"C:\\日本語\\own.jar;";
constexpr char kJapaneseStored[] = u8"%USERPROFILE%\\ユーザー\\stored.jar";
const std::string kPolishJoined = std::string(kPolishOwn) + kPolishStored;
const std::string kJapaneseJoined = std::string(kJapaneseOwn) + kJapaneseStored;
const Case kOutsideCodePage[] = {
    Case("classpath-polish-entries-kept")
        .ClassPaths(kPolishOwn, kPolishStored)
        .Starts(kProduct, kProductWork, kPolishJoined.c_str(), kWaits),
    Case("classpath-japanese-entries-kept-unexpanded")
        .ClassPaths(kJapaneseOwn, kJapaneseStored)
        .StoredAs(REG_EXPAND_SZ)
        .Starts(kProduct, kProductWork, kJapaneseJoined.c_str(), kWaits),
    Case("classpath-stored-polish-already-held")
        .ClassPaths(kPolishJoined.c_str(), kPolishStored)
        .Starts(kProduct, kProductWork, kPolishJoined.c_str(), kWaits),
    Case("product-in-polish-folder-with-start-in")
        .Explained()
        .Target(kForeignProduct)
        .LinkStartsIn(kForeignWork)
        .Starts(kForeignProduct, kForeignWork, "A;B;", kWaits),
    Case("product-in-polish-folder-without-start-in")
        .Target(kForeignProduct)
        .LinkStartsIn("")
        .Starts(kForeignProduct, kForeignFolder, "A;B;", kWaits),
    Case("elevation-product-in-polish-folder")
        .Launcher(kElevating)
        .Target(kForeignProduct)
        .LinkStartsIn(kForeignWork)
        .Starts(kForeignProduct, kForeignWork, kClassPathNotAsserted, kWaits),
};

// Code page 932: "\x83\x5C" is one character whose second byte is a backslash.
std::vector<Case> DoubleByteCases() {
  std::vector<Case> cases = {
      Case("double-byte-shortcut-name")
          .CodePage932()
          .LinkNamed("\\AutorunE2E\\\x83\x5C.lnk")
          .Starts(kProduct, kProductWork, "A;B;", kWaits),
  };
  for (Case c : kOutsideCodePage) {
    c.name = "cp932-" + c.name;
    cases.push_back(c.CodePage932());
  }
  return cases;
}
const std::vector<Case> kDoubleByte = DoubleByteCases();

bool WriteConfigFile(const std::optional<Config>& config) {
  const std::string path = TheLayout().medium + "install.dat";
  if (!config) return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
  std::string text;
  for (const std::string section : {"Config", "AppRun"}) {
    text += "[" + section + "]\r\n";
    for (const auto& [place, value] : *config) {
      if (place.first == section) text += place.second + "=" + value + "\r\n";
    }
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

// The machine state a case asks for, in place while it lives.
struct Machine {
  Machine(const Case& c, Hold& hold) {
    if (!WriteConfigFile(c.config)) problems += "install.dat; ";
    classPath.emplace("CLASSPATH");
    classPath->SetWide(c.classPath == nullptr ? nullptr : WideFromUtf8(c.classPath).c_str());
    stored.emplace(HKEY_CURRENT_USER, "Environment", "CLASSPATH");
    if (c.storedClassPath == nullptr
            ? !stored->SetText(nullptr)
            : !stored->SetWide(c.storedType, WideFromUtf8(c.storedClassPath))) {
      problems += "stored CLASSPATH; ";
    }
    if (c.installed) {
      uninstall.emplace(HKEY_LOCAL_MACHINE, std::string(kUninstallList) + kUnInstKey,
                        "UninstallString");
      if (!uninstall->SetText("C:\\uninstall.exe")) problems += "uninstall entry; ";
    }
    if (c.link != LinkPlace::None) {
      shortcut.emplace(c.link == LinkPlace::AllUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS,
                       c.linkName, WideFromUtf8(Expand(c.target)),
                       WideFromUtf8(Expand(c.linkDirectory)), c.advertised, c.storedLink);
      if (!shortcut->Ok()) problems += "shortcut; ";
    }
    for (const std::string& path : c.placed) {
      if (!programs.emplace_back(Expand(path)).Ok()) problems += "placed program; ";
    }
    if (c.setupWindow && !window.emplace(kSetupTitle).Ok()) problems += "setup window; ";
    if (c.foreignGuard != nullptr && !guard.emplace(c.foreignGuard).Ok()) {
      problems += "guard's name; ";
    }
    if (!c.running.empty() && !running.emplace(Expand(c.running), hold).Ok()) {
      problems += "running product; ";
    }
    // Wine's per-program override: only autorun.exe prefers a library file of
    // that name to Wine's own, searching for it as Windows does (an override
    // in the environment of a Windows parent does not reach its child).
    const std::string fake = TheLayout().bin + "e2e_psapi.dll";
    if (c.psapi == Psapi::LackingFunction) {
      if (!swapped.emplace(fake, "psapi.dll").Ok()) problems += "system psapi.dll; ";
      Override("psapi.dll", "native");
    }
    if (c.installerStandIn) {
      if (!installerSwapped.emplace(fake, "msi.dll").Ok()) problems += "system msi.dll; ";
      Override("msi.dll", "native");
    }
    if (c.smartAppControl) {
      // The 64-bit view, the system's own, where the checker reads it.
      policy.emplace(HKEY_LOCAL_MACHINE, kSmartAppControlKey, "VerifiedAndReputablePolicyState",
                     KEY_WOW64_64KEY);
      const std::string state(reinterpret_cast<const char*>(&*c.smartAppControl), sizeof(DWORD));
      if (!policy->Set(REG_DWORD, &state)) problems += "Smart App Control; ";
    }
    if (!c.setupFile.empty() &&
        !setup
             .emplace(TheLayout().samples + c.setupFile, TheLayout().medium + "setup\\setup.exe",
                      TheLayout().bin + "recorder.exe")
             .Ok()) {
      problems += "setup file; ";
    }
    if (c.setupMarked && !mark.emplace(TheLayout().medium + "setup\\setup.exe:Zone.Identifier",
                                       "[ZoneTransfer]\r\nZoneId=3\r\n")
                              .Ok()) {
      problems += "internet's mark; ";
    }
    if (c.psapi == Psapi::PlantedOnMedium) {
      for (const char* name : kPlantedLibraries) {
        if (!planted.emplace_back(fake, TheLayout().medium + name).Ok()) problems += "plant; ";
        Override(name, "native,builtin");
      }
    }
  }

  // The overrides go in the reverse order, the key's maker last.
  ~Machine() {
    while (!overrides.empty()) overrides.pop_back();
  }

  void Override(std::string library, const char* order) {
    library.resize(library.rfind('.'));
    for (const char* program : kOverridden) {
      const std::string key =
          std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
      if (!overrides.emplace_back(HKEY_CURRENT_USER, key, library.c_str()).SetText(order)) {
        problems += "library override; ";
      }
    }
  }

  std::string problems;
  std::optional<EnvironmentScope> classPath;
  std::optional<RegistryValueScope> stored;
  std::optional<RegistryValueScope> uninstall;
  std::optional<Shortcut> shortcut;
  std::list<ProgramCopy> programs;
  std::optional<TitledWindow> window;
  std::optional<RunningProgram> running;
  std::optional<ForeignGuard> guard;
  std::optional<SystemLibrarySwap> swapped;
  std::optional<SystemLibrarySwap> installerSwapped;
  std::list<FileCopy> planted;
  std::optional<RegistryValueScope> policy;
  std::optional<FileCopy> setup;
  std::optional<TextFile> mark;
  std::list<RegistryValueScope> overrides;
};

// Checks what the launcher did against the case, and against what the
// explanation run before it predicted, if any.
void ExpectOutcome(const Case& c, const StartedProcess& launcher, Hold& hold,
                   const std::optional<Prediction>& prediction) {
  std::vector<SeenMessageBox> expected;
  std::vector<SeenMessageBox> seen;
  for (const SeenMessageBox& box : c.boxes) {
    expected.push_back({box.caption, Expand(box.text)});
    SeenMessageBox next;
    if (!DismissNextMessageBox(launcher.Id(), kPatienceMs, next)) break;
    seen.push_back(next);
  }
  EXPECT_EQ(seen, expected);
  const std::string explained = prediction ? "\nthe explanation:\n" + prediction->output : "";
  if (prediction) {
    EXPECT_EQ(prediction->boxes, seen) << explained;
    // Support reads the verdict first: it is the outcome the trace ends in.
    EXPECT_EQ(prediction->output.rfind("verdict: ", 0), 0u) << explained;
    EXPECT_EQ(prediction->verdict, prediction->outcome) << explained;
    EXPECT_NE(prediction->outcome, "") << explained;
    for (const std::string& text : c.explanationHolds) {
      EXPECT_NE(prediction->output.find(text), std::string::npos) << text << explained;
    }
  }
  // A start Windows would block: the prediction alone (see PredictsBlocked).
  if (prediction && c.predictsBlocked) {
    EXPECT_EQ(prediction->program, "") << explained;
    EXPECT_EQ(prediction->exitCode, 1u) << explained;
    EXPECT_NE(prediction->output.find("outcome: the launcher starts nothing and ends silently: "
                                      "Windows blocks the start of"),
              std::string::npos)
        << explained;
  }
  const std::optional<Prediction>& compared = c.predictsBlocked ? std::nullopt : prediction;

  std::set<std::string> records;
  if (!c.program.empty()) {
    const auto record = WaitForRecord(Expand(c.program), kPatienceMs);
    ASSERT_TRUE(record) << c.program << " did not start; " << PendingBox(launcher) << explained;
    EXPECT_EQ(record->at("program"), Expand(c.program));
    EXPECT_EQ(record->at("cwd"), Expand(c.cwd));
    if (c.seenClassPath != kClassPathNotAsserted) {
      EXPECT_EQ(record->at("classpath"), c.seenClassPath);
    }
    const bool waited =
        c.waits ? !launcher.HasEnded(kWaitCheckMs) : !launcher.HasEnded(kPatienceMs);
    EXPECT_EQ(waited, c.waits) << (c.waits ? "the launcher did not wait" : "the launcher waited");
    if (compared) {
      EXPECT_EQ(compared->program, record->at("program")) << explained;
      EXPECT_EQ(compared->cwd, record->at("cwd")) << explained;
      EXPECT_EQ(compared->classPath, record->at("classpath")) << explained;
      EXPECT_EQ(compared->waits, waited) << explained;
    }
    const std::string file = c.program.substr(c.program.rfind('\\') + 1);
    records.insert(file.substr(0, file.rfind('.')) + ".txt");
  } else if (compared) {
    EXPECT_EQ(compared->program, "") << explained;
  }
  if (compared) {
    EXPECT_EQ(compared->exitCode, c.program.empty() ? 1u : 0u) << explained;
  }
  hold.Release();
  ASSERT_TRUE(launcher.HasEnded(kPatienceMs))
      << "the launcher still runs; " << PendingBox(launcher);
  EXPECT_EQ(launcher.ExitCode(), 0u);
  if (c.psapi == Psapi::LackingFunction) records.insert("psapi-loaded.txt");
  if (c.installerStandIn) records.insert("msi-loaded.txt");
  EXPECT_EQ(ListRecords(), records) << "programs started and libraries loaded";
}

// A write to the CD-ROM drive fails, unless the drive's folder could not be
// made read-only here, which its state says (and the test output shows).
void ExpectReadOnly(const std::string& root, const std::string& state) {
  const std::string probe = root + "written-by-the-test.txt";
  const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool written = file != INVALID_HANDLE_VALUE;
  if (written) {
    CloseHandle(file);
    DeleteFileA(probe.c_str());
  }
  if (state.rfind("writable", 0) == 0) {
    std::printf("note: the CD-ROM drive is not read-only here (%s)\n", state.c_str());
    return;
  }
  EXPECT_FALSE(written) << root << " could be written to (" << state << ")";
}

class LauncherOnMedium : public testing::TestWithParam<Case> {};

TEST_P(LauncherOnMedium, ShowsStartsAndWaitsAsExpected) {
  const Case& c = GetParam();
  const Layout& layout = TheLayout();
  ASSERT_EQ(layout.error, "");
  if (c.codePage932) {
    RequireCodePage932("e2e_cp932");
    if (IsSkipped() || HasFatalFailure()) return;
  }
  ClearRecords();
  Hold hold;
  Machine machine(c, hold);
  ASSERT_EQ(machine.problems, "") << "the machine state could not be built";

  const std::string root = c.fromCdrom ? layout.cdrom : layout.medium;
  std::string disc;
  if (c.fromCdrom) {
    ASSERT_NE(root, "") << "AUTORUN_E2E_CDROM (the CD-ROM drive, e.g. S:) is not set";
    ASSERT_EQ(GetDriveTypeA(root.c_str()), static_cast<UINT>(DRIVE_CDROM)) << root;
    disc = FolderDigest(root);
  }
  const std::string autorun = root + c.launcher;
  std::optional<StartedProcess> first;
  if (c.whileFirstWaits) {
    first.emplace(autorun, c.tail, root);
    ASSERT_TRUE(WaitForAnyRecord(kPatienceMs)) << "the first launcher started nothing";
    ClearRecords();
  }
  std::optional<Prediction> prediction;
  if (c.explained) {
    const MachineSnapshot before = MachineSnapshot::Take(kUnInstKey);
    // As support runs it: the medium's drive given (a drive's root has no
    // blank to quote).
    prediction =
        RunChecker("--explain " + root + (c.tail.empty() ? "" : " -- " + c.tail), root, c.checker);
    EXPECT_TRUE(MachineSnapshot::Take(kUnInstKey) == before)
        << "the explanation changed the machine:\n"
        << prediction->output;
    // The process-status stand-in marks its load, which the explanation
    // shares with the launcher; a started program leaves a record of its own.
    std::set<std::string> started = ListRecords();
    started.erase("psapi-loaded.txt");
    EXPECT_EQ(started, std::set<std::string>()) << "the explanation started a program";
    ClearRecords();
  }
  const StartedProcess launcher(autorun, c.tail, root);
  ASSERT_TRUE(launcher.Started());
  ExpectOutcome(c, launcher, hold, prediction);
  if (c.fromCdrom) {
    EXPECT_EQ(FolderDigest(root), disc) << "the disc's files changed";
    ExpectReadOnly(root, layout.cdromState);
  }
  if (first) {
    EXPECT_TRUE(first->HasEnded(kPatienceMs)) << "the first launcher still runs";
    EXPECT_EQ(first->ExitCode(), 0u);
  }
}

// Bad usage of the explanation: one line that says what is wrong, status 2,
// and nothing run.
TEST(Explanation, RefusesBadUsageInOneLine) {
  const std::string medium = TheLayout().medium;
  const std::string rows[] = {
      "--explain --bogus",
      "--explain \"" + medium + "no such folder\"",
      "--explain \"" + medium + "\" -a",
  };
  for (const std::string& arguments : rows) {
    const Prediction refused = RunChecker(arguments, medium);
    EXPECT_EQ(refused.exitCode, 2u) << arguments << "\n" << refused.output;
    EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1)
        << arguments << "\n"
        << refused.output;
  }
}

// Given no medium, from a folder without install.dat, the explanation looks
// for the medium on the drives: the suite's medium is the root of R:.
TEST(Explanation, FindsTheMediumOnItsDrive) {
  Hold hold;
  const Machine machine(Case("medium-found-on-its-drive"), hold);
  ASSERT_EQ(machine.problems, "");
  const Prediction found = RunChecker("--explain", TheLayout().work);
  std::string output = found.output;
  output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
  EXPECT_NE(found.exitCode, 2u) << output;
  EXPECT_NE(output.find("medium: " + TheLayout().medium + "\nverdict: "), std::string::npos)
      << output;
}

std::string TestName(const testing::TestParamInfo<Case>& info) {
  std::string name = info.param.name;
  for (char& c : name) c = c == '-' ? '_' : c;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Starts, LauncherOnMedium, testing::ValuesIn(kStarts), TestName);
INSTANTIATE_TEST_SUITE_P(OutsideCodePage, LauncherOnMedium, testing::ValuesIn(kOutsideCodePage),
                         TestName);
INSTANTIATE_TEST_SUITE_P(Refusals, LauncherOnMedium, testing::ValuesIn(kRefusals), TestName);
INSTANTIATE_TEST_SUITE_P(DoubleByte, LauncherOnMedium, testing::ValuesIn(kDoubleByte), TestName);

}  // namespace
