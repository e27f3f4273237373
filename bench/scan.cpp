// Times the launcher's running-program probe, the very function autorun.exe
// calls, while more and more extra stand-in processes live, to show how its
// cost grows with the number of processes it examines. Beside it, a floor:
// the least any such scan does, one image-name query per process.
//
//   scan <sleeper.exe> <extra count>...   (counts ascending)
#define PSAPI_VERSION 1
#include <windows.h>
// The headers below need windows.h before them.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/bench_common.h"
#include "probes/running_program_probe.h"

namespace {

constexpr int kMostExtra = 1000;
constexpr int kRepeats = 9;
constexpr DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION

DWORD ids[4096];

DWORD ListProcesses() {
  DWORD bytes = 0;
  return EnumProcesses(ids, sizeof ids, &bytes) ? bytes / sizeof(DWORD) : 0;
}

// The floor: the same question answered with one query per process.
bool ImageNameScan(const char* exeName) {
  const DWORD count = ListProcesses();
  for (DWORD i = 0; i < count; ++i) {
    const HANDLE process = OpenProcess(kQueryLimited, FALSE, ids[i]);
    if (process == nullptr) continue;
    char name[MAX_PATH];
    DWORD length = MAX_PATH;
    const bool found =
        QueryFullProcessImageNameA(process, 0, name, &length) && std::strstr(name, exeName);
    CloseHandle(process);
    if (found) return true;
  }
  return false;
}

// The launcher's probe, as the launcher asks it.
bool LauncherScan(const char* exeName) {
  RunningProgramFacts ignored;
  return IsProgramRunning(exeName, ignored);
}

double TimeMs(bool (*scan)(const char*)) {
  const double begin = NowMs();
  scan("no-such-name");
  return NowMs() - begin;
}

struct Timing {
  double probeMs, floorMs, ratio;
};

// Probe and floor alternate, so that load from elsewhere falls on both alike.
Timing Measure() {
  double probe[kRepeats], floor[kRepeats], ratio[kRepeats];
  for (int i = 0; i < kRepeats; ++i) {
    probe[i] = TimeMs(LauncherScan);
    floor[i] = TimeMs(ImageNameScan);
    ratio[i] = probe[i] / floor[i];
  }
  return {Median(probe, kRepeats), Median(floor, kRepeats), Median(ratio, kRepeats)};
}

}  // namespace

int main(int argc, char** argv) {
  static HANDLE extra[kMostExtra];
  HoldHandles hold;
  if (argc < 3 || !hold.IsValid()) return 2;
  int running = 0;
  int reported = 0;
  for (int argument = 2; argument < argc; ++argument) {
    const int wanted = std::atoi(argv[argument]);
    for (; running < wanted && running < kMostExtra; ++running) {
      STARTUPINFOA startup = {};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process = {};
      if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::printf("cannot start %s\n", argv[1]);
        return 1;
      }
      CloseHandle(process.hThread);
      extra[running] = process.hProcess;
    }
    // Only processes that run count: wait until each has said so.
    for (; reported < running; ++reported) {
      if (!hold.WaitStarted(60000)) return 1;
    }

    const Timing timing = Measure();
    const DWORD examined = ListProcesses();
    if (examined == 0) return 1;
    std::printf("extra=%d processes=%lu ms=%.2f us_per_process=%.0f floor_ms=%.2f ratio=%.1f\n",
                running, examined, timing.probeMs, timing.probeMs * 1000.0 / examined,
                timing.floorMs, timing.ratio);
  }
  hold.Release();
  for (int i = 0; i < running; ++i) {
    WaitForSingleObject(extra[i], 30000);
    CloseHandle(extra[i]);
  }
  return 0;
}
