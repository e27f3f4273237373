// The system calls that start a program: creating its process directly,
// and handing it to the shell, which can ask the user for elevation, with
// the network drive's questions asked before the shell's start. Each is
// defined in a file of its own (direct_start.cpp, shell_start.cpp,
// network_drive.cpp), so a test program can link a stand-in for one of them
// in its place: the elevation tests make the direct creation report that
// elevation is required, so that the shell's road runs for real, and the
// shell refuse as a declined prompt does; the network tests make the
// medium's drive a redirected one.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "launcher/fixed_text.h"

// Every path here is wide: it reaches the system exactly as the shortcut or
// the configuration file gave it, never through the ANSI code page.

// CreateProcessW for `programPath` with no arguments, in `workingDirectory`,
// nothing inherited; false with the system's error when it failed.
bool CreateProgramProcess(const wchar_t* workingDirectory, const wchar_t* programPath,
                          PROCESS_INFORMATION& process);

// ShellExecuteExW from the shell library, loaded on first use; false with
// the system's error when it failed or is missing.
bool ExecuteThroughShell(SHELLEXECUTEINFOW& info);

// GetDriveTypeW for the drive whose root is `root` ("X:\\").
UINT DriveTypeOf(const wchar_t* root);

// The universal (UNC) name of `path` on a redirected network drive, from
// WNetGetUniversalNameW of the network library, loaded on first use; false
// when there is none or it does not fit, or the library is missing.
bool UniversalNameOf(const wchar_t* path, WideValueText& universal);
