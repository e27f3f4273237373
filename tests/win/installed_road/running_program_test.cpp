// The running-program probe against real processes: a product held running
// in a folder of its own, and a process-status library planted beside the
// program and in its current directory, which must never be loaded.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "probes/running_program_probe.h"
#include "tests/support/environment_scope.h"
#include "tests/support/recorder_record.h"
#include "tests/support/registry_scope.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/sibling_program.h"
#include "tests/support/started_process.h"
#include "tests/support/unique_name.h"
// The process-status declarations need the Windows types first.
#include <psapi.h>

namespace {

// Without an override the platform prefers its own process-status library to
// any planted one, and a planting test would prove nothing. Its loader takes
// WINEDLLOVERRIDES only from the host-side environment, not from the block a
// Windows parent hands down (checked), so the override is set in the registry
// for the helper program alone.
class ProcessStatusOverride {
 public:
  ProcessStatusOverride() {
    const char order[] = "native,builtin";
    overrides_.SetValue("psapi", REG_SZ, std::string(order, sizeof order));
  }

 private:
  RegistryKeyScope overrides_{HKEY_CURRENT_USER,
                              "Software\\Wine\\AppDefaults\\planted_library.exe\\DllOverrides"};
};

TEST(RunningProgramProbe, MatchesTheFullFileNameCaseSensitively) {
  const ScratchFolder folder;
  const std::string productFolder = folder.File("ProdDir Zeta");
  std::filesystem::create_directories(productFolder);
  const std::string product = productFolder + "\\zetaapp.exe";
  ASSERT_TRUE(CopyFileA(SiblingProgram("recorder.exe").c_str(), product.c_str(), FALSE));

  const std::string holdName = UniqueName("AutorunRoadHold");
  const HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, holdName.c_str());
  ASSERT_NE(hold, nullptr);
  std::optional<StartedProcess> process;
  {
    const EnvironmentScope recordDir("AUTORUN_TEST_RECORD_DIR", folder.Path().c_str());
    const EnvironmentScope holdEvent("AUTORUN_TEST_HOLD_EVENT", holdName.c_str());
    process.emplace(product, "", folder.Path());
  }
  ASSERT_TRUE(process->Started());
  // The record is written once the program runs; it then waits for the event.
  ASSERT_TRUE(WaitForRecordFile(RecordFileIn(folder.Path(), product), 10000));

  // A program whose modules this caller cannot read, so that only its image
  // name can find it. A 32-bit caller cannot read those of Wine's 64-bit
  // services.exe. The 64-bit build runs where no 32-bit process can, so it
  // holds a program of its own bitness suspended: before its loader has run
  // it has no module list.
  const bool callerIs64Bit = sizeof(void*) == 8;
  const std::string suspendedProgram = folder.File("suspendedapp.exe");
  std::optional<StartedProcess> suspended;
  if (callerIs64Bit) {
    ASSERT_TRUE(CopyFileA(SiblingProgram("recorder.exe").c_str(), suspendedProgram.c_str(), FALSE));
    suspended.emplace(suspendedProgram, "", folder.Path(), CREATE_SUSPENDED);
    ASSERT_TRUE(suspended->Started());
    HMODULE module = nullptr;
    DWORD needed = 0;
    ASSERT_FALSE(EnumProcessModules(suspended->Handle(), &module, sizeof module, &needed))
        << "the suspended program's modules must be unreadable for the row to mean anything";
  }
  const char* unreadableProgram = callerIs64Bit ? "\\suspendedapp.exe" : "\\services.exe";

  struct Case {
    const char* exeName;
    bool running;
  };
  // clang-format off
  const Case cases[] = {
      {"zetaapp.exe", true},
      {"\\ProdDir Zeta\\", true},  // only a folder name of the product
      {"ZETAAPP.EXE", false},
      {"ProdDir zeta", false},
      {"no-such-program-7f3q.exe", false},
      {unreadableProgram, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    RunningProgramFacts facts{};
    EXPECT_EQ(IsProgramRunning(c.exeName, facts), c.running) << c.exeName;
    // The program it names is the one that matched, and still runs.
    EXPECT_GT(facts.processesListed, 1u) << c.exeName;
    EXPECT_EQ(std::string(facts.fileName.c_str()).find(c.exeName) != std::string::npos, c.running)
        << c.exeName;
    if (c.running) {
      const HANDLE matched = OpenProcess(SYNCHRONIZE, FALSE, facts.processId);
      EXPECT_NE(matched, nullptr) << c.exeName;
      if (matched != nullptr) CloseHandle(matched);
    }
  }

  if (suspended) suspended->Finish(0);  // a suspended program never ends by itself
  SetEvent(hold);
  EXPECT_TRUE(process->HasEnded(10000));
  CloseHandle(hold);
  RunningProgramFacts after{};
  EXPECT_FALSE(IsProgramRunning("zetaapp.exe", after)) << "after the product ended";
}

TEST(RunningProgramProbe, NeverLoadsAPlantedLibrary) {
  const ScratchFolder folder;
  const std::string programFolder = folder.File("medium");
  const std::string currentFolder = folder.File("current");
  std::filesystem::create_directories(programFolder);
  std::filesystem::create_directories(currentFolder);
  const std::string program = programFolder + "\\planted_library.exe";
  ASSERT_TRUE(CopyFileA(SiblingProgram("planted_library.exe").c_str(), program.c_str(), FALSE));
  ASSERT_EQ(StartedProcess(program, "plant \"" + programFolder + "\"", folder.Path()).Finish(), 0u);
  ASSERT_EQ(StartedProcess(program, "plant \"" + currentFolder + "\"", folder.Path()).Finish(), 0u);
  const std::string besideMark = programFolder + "\\PSAPI.DLL.loaded";
  const std::string currentMark = currentFolder + "\\PSAPI.DLL.loaded";
  const auto Marked = [](const std::string& mark) {
    return GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES;
  };

  const ProcessStatusOverride preferPlanted;
  // The probe still works, finding its own program, and loads no planted copy.
  EXPECT_EQ(StartedProcess(program, "probe", currentFolder).Finish(), 10u);
  EXPECT_FALSE(Marked(besideMark));
  EXPECT_FALSE(Marked(currentMark));

  // The same setup catches a load by name: the copy beside the program is taken.
  EXPECT_EQ(StartedProcess(program, "plain", currentFolder).Finish(), 20u);
  EXPECT_TRUE(Marked(besideMark));
}

}  // namespace
