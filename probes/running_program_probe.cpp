// The running-program probe: is any running program's full file name holding
// the product's name? Uses the process-status library, loaded at run time.
#define PSAPI_VERSION 1
#include <windows.h>
// The process-status declarations need the Windows types first.
#include <psapi.h>

#include <type_traits>

#include "launcher/messages.h"
#include "launcher/text_search.h"
#include "platform/system_library.h"
#include "probes/desktop_queries.h"
#include "probes/process_list.h"
#include "probes/running_program_probe.h"

namespace {

static_assert(std::is_same_v<EnumProcessesFn, decltype(&::EnumProcesses)>,
              "the process list calls the enumeration with its declared signature");
using EnumProcessModulesFn = decltype(&::EnumProcessModules);
using GetModuleFileNameExFn = decltype(&::GetModuleFileNameExA);
using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

constexpr DWORD kReadModulesAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr DWORD kQueryLimitedAccess = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION

struct ProcessStatus {
  EnumProcessModulesFn enumProcessModules;
  GetModuleFileNameExFn getModuleFileNameEx;
  QueryFullProcessImageNameFn queryFullProcessImageName;  // may be null
};

// The full file name of the process's main module, or, where that cannot be
// read (another bitness, an elevated process), its image name.
bool ReadProgramFileName(const ProcessStatus& status, DWORD processId, ValueText& fileName) {
  fileName.Clear();
  const UniqueHandle process(OpenProcess(kReadModulesAccess, FALSE, processId));
  if (process.IsValid()) {
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (status.enumProcessModules(process.Get(), &module, sizeof module, &needed) &&
        status.getModuleFileNameEx(process.Get(), module, fileName.Area(), ValueText::kAreaSize) !=
            0) {
      fileName.Terminate();
      return true;
    }
  }
  if (status.queryFullProcessImageName == nullptr) return false;
  const UniqueHandle limited(OpenProcess(kQueryLimitedAccess, FALSE, processId));
  if (!limited.IsValid()) return false;
  DWORD length = ValueText::kAreaSize;
  if (!status.queryFullProcessImageName(limited.Get(), 0, fileName.Area(), &length)) {
    fileName.Clear();
    return false;
  }
  fileName.Terminate();
  return true;
}

}  // namespace

bool IsProgramRunning(const char* exeName, RunningProgramFacts& facts, LauncherOperations* boxes) {
  UniqueLibrary psapi = LoadSystemLibrary("PSAPI.DLL");
  if (!psapi.IsValid()) return false;

  const auto enumProcesses = LookUpFunction<EnumProcessesFn>(psapi.Get(), "EnumProcesses");
  ProcessStatus status{};
  status.enumProcessModules =
      LookUpFunction<EnumProcessModulesFn>(psapi.Get(), "EnumProcessModules");
  status.getModuleFileNameEx =
      LookUpFunction<GetModuleFileNameExFn>(psapi.Get(), "GetModuleFileNameExA");
  if (enumProcesses == nullptr || status.enumProcessModules == nullptr ||
      status.getModuleFileNameEx == nullptr) {
    psapi.Reset();
    if (boxes != nullptr) {
      boxes->ShowMessage(kProcessStatusBrokenText, kFatalErrorCaption);
    } else {
      ShowMessage(kProcessStatusBrokenText, kFatalErrorCaption);
    }
    return false;
  }
  status.queryFullProcessImageName = LookUpFunction<QueryFullProcessImageNameFn>(
      GetModuleHandleA("KERNEL32.DLL"), "QueryFullProcessImageNameA");

  ProcessList processes;
  processes.Enumerate(enumProcesses);
  facts.processesListed = processes.Count();
  for (DWORD i = 0; i < processes.Count(); ++i) {
    if (ReadProgramFileName(status, processes[i], facts.fileName) &&
        ContainsText(facts.fileName.c_str(), exeName)) {
      facts.processId = processes[i];
      return true;
    }
  }
  facts.fileName.Clear();
  return false;
}
