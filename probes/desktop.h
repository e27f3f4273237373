// The launcher's questions to the desktop and the platform: the guard, the
// message box, the current directory, window titles, the installation, the
// running product and the product's shortcut.
#pragma once

#include "launcher/fixed_text.h"
#include "launcher/launcher_operations.h"
#include "probes/win_owners.h"

// Creates the named single-instance semaphore; `guard` keeps it while held.
GuardResult AcquireInstanceGuard(const char* name, UniqueHandle& guard);

// A modal box with no owner, an OK button and no icon.
void ShowMessage(const char* text, const char* caption);

// False when the directory cannot be had or does not fit 259 characters.
bool GetCurrentDir(PlatformPath& directory);

// Whether a top-level window carries exactly this title.
bool IsWindowTitlePresent(const char* title);

// The system code page's lead-byte test.
bool IsSystemLeadByte(unsigned char leadCandidate);

// Whether the machine's uninstall list has an entry for `unInstKey` that
// holds an uninstall command.
bool IsProductInstalled(const char* unInstKey);

// Whether a running program's full file name contains `exeName`. Shows
// "Failed to load PSAPI.DLL" when the process-status library lacks a function.
bool IsProgramRunning(const char* exeName);

// Loads a library from the system directory only, never by search path.
UniqueLibrary LoadSystemLibrary(const char* fileName);

// A function of `library`, typed by the caller; null when missing.
template <typename Function>
Function LookUpFunction(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// A function of a system library that is loaded on first use and then kept,
// so the window manager, shell and component libraries cost nothing on the
// roads that never need them. Null when the library or function is missing.
template <typename Function>
Function SystemFunction(const char* libraryFileName, const char* name) {
  HMODULE library = GetModuleHandleA(libraryFileName);
  if (library == nullptr) library = LoadSystemLibrary(libraryFileName).Release();
  return library == nullptr ? nullptr : LookUpFunction<Function>(library, name);
}

// The shortcut below the all-users Start-menu Programs folder.
bool FindProductShortcut(const char* productLink, ValueText& shortcutPath);

// The shortcut's target and working directory, through the shell's link object.
bool ResolveShortcut(const char* shortcutPath, PlatformPath& targetPath,
                     PlatformPath& workingDirectory);
