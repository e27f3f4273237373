// The benchmark driver under Wine: times two commands run alternately, reads
// their peak working set while their child is held, and makes the product's
// shortcut for the installed road. Timing inside Windows keeps Wine's own
// start-up (the loader, the wineserver connection of `wine` itself) out.
//
//   driver time <pairs> <dirA> <commandA> <dirB> <commandB>
//   driver memory <runs> <dirA> <commandA> <dirB> <commandB>
//   driver link <productLink> <target> <workingDirectory>
#include <windows.h>
// The headers below need windows.h before them.
#include <objbase.h>
#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/bench_common.h"

namespace {

constexpr int kMostRuns = 200;

HANDLE Start(const char* directory, const char* command) {
  char commandLine[1024];
  lstrcpynA(commandLine, command, sizeof commandLine);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, directory,
                      &startup, &process)) {
    std::printf("cannot start %s (error %lu)\n", command, GetLastError());
    std::exit(1);
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

double TimeRun(const char* directory, const char* command) {
  const double begin = NowMs();
  const HANDLE process = Start(directory, command);
  WaitForSingleObject(process, INFINITE);
  const double elapsed = NowMs() - begin;
  CloseHandle(process);
  return elapsed;
}

// Alternates A and B so that load from other work on the machine falls on
// both alike; the first pair warms the file cache and is not counted.
int Time(int pairs, char** a, char** b) {
  static double timesA[kMostRuns], timesB[kMostRuns], ratios[kMostRuns];
  TimeRun(a[0], a[1]);
  TimeRun(b[0], b[1]);
  for (int i = 0; i < pairs; ++i) {
    timesA[i] = TimeRun(a[0], a[1]);
    timesB[i] = TimeRun(b[0], b[1]);
    ratios[i] = timesA[i] / timesB[i];
  }
  const auto count = static_cast<std::size_t>(pairs);
  std::printf("a_ms=%.2f b_ms=%.2f ratio=%.3f", Median(timesA, count), Median(timesB, count),
              Median(ratios, count));
  // The spread of the ratios: the middle half of the pairs lies within.
  std::printf(" ratio_q1=%.3f ratio_q3=%.3f\n", ratios[count / 4], ratios[count * 3 / 4]);
  return 0;
}

// The peak working set of the command's process once its child runs held.
double PeakKiB(HoldHandles& hold, const char* directory, const char* command) {
  hold.Hold();
  const HANDLE process = Start(directory, command);
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  const bool held = hold.WaitStarted(20000);
  if (!held || !GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    std::printf("no memory figures for %s\n", command);
    std::exit(1);
  }
  hold.Release();
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
}

int Memory(int runs, char** a, char** b) {
  static double peaksA[kMostRuns], peaksB[kMostRuns];
  HoldHandles hold;
  if (!hold.IsValid()) return 1;
  for (int i = 0; i < runs; ++i) {
    peaksA[i] = PeakKiB(hold, a[0], a[1]);
    peaksB[i] = PeakKiB(hold, b[0], b[1]);
  }
  const auto count = static_cast<std::size_t>(runs);
  const double medianA = Median(peaksA, count);
  const double medianB = Median(peaksB, count);
  std::printf("a_kib=%.0f b_kib=%.0f ratio=%.3f\n", medianA, medianB, medianA / medianB);
  return 0;
}

// Saves a shortcut below the all-users Programs folder with the shell's own
// link object, as a setup program would.
int Link(const char* productLink, const char* target, const char* workingDirectory) {
  char path[MAX_PATH];
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_PROGRAMS, TRUE)) return 1;
  lstrcatA(path, productLink);
  char folder[MAX_PATH];
  lstrcpyA(folder, path);
  *(std::strrchr(folder, '\\')) = '\0';
  SHCreateDirectoryExA(nullptr, folder, nullptr);

  wchar_t widePath[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  HRESULT status = CoInitialize(nullptr);
  if (SUCCEEDED(status)) {
    status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link));
  }
  if (SUCCEEDED(status)) status = link->SetPath(target);
  if (SUCCEEDED(status)) status = link->SetWorkingDirectory(workingDirectory);
  if (SUCCEEDED(status)) {
    status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  }
  if (SUCCEEDED(status)) status = file->Save(widePath, TRUE);
  if (file != nullptr) file->Release();
  if (link != nullptr) link->Release();
  std::printf("shortcut %s: %s\n", path, SUCCEEDED(status) ? "saved" : "failed");
  return SUCCEEDED(status) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 7 && lstrcmpA(argv[1], "time") == 0) {
    const int pairs = std::atoi(argv[2]);
    if (pairs > 0 && pairs <= kMostRuns) return Time(pairs, argv + 3, argv + 5);
  }
  if (argc == 7 && lstrcmpA(argv[1], "memory") == 0) {
    const int runs = std::atoi(argv[2]);
    if (runs > 0 && runs <= kMostRuns) return Memory(runs, argv + 3, argv + 5);
  }
  if (argc == 5 && lstrcmpA(argv[1], "link") == 0) return Link(argv[2], argv[3], argv[4]);
  std::printf(
      "usage: driver time|memory <runs> <dirA> <commandA> <dirB> <commandB>\n"
      "       driver link <productLink> <target> <workingDirectory>\n");
  return 2;
}
