// Included once by a Windows-side test program: a crash in it ends it at once
// with a note, instead of waiting for Wine's debugger, which would hold the
// test run until its time-out.
#pragma once

#include <windows.h>

#include <cstdio>

inline LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* crash) {
  std::printf("crashed: exception 0x%08lx\n", crash->ExceptionRecord->ExceptionCode);
  std::fflush(stdout);
  return EXCEPTION_EXECUTE_HANDLER;
}
inline const LPTOP_LEVEL_EXCEPTION_FILTER kPreviousCrashFilter =
    SetUnhandledExceptionFilter(EndOnCrash);
