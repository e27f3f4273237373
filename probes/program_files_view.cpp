// The native program-files folder for a path in the 32-bit view; nothing
// else is guessed.
#include "probes/program_files_view.h"

#include <windows.h>

namespace {

// The 32-bit view's and the native folder's variables; without their first
// six characters ("Common") they name the program-files folders themselves.
constexpr const wchar_t* kCommonX86 = L"CommonProgramFiles(x86)";
constexpr const wchar_t* kCommonNative = L"CommonProgramW6432";
constexpr int kCommonLength = 6;

// Whether `path` names a file, or for `isDirectory` a folder.
bool Exists(const wchar_t* path, bool isDirectory) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == isDirectory;
}

}  // namespace

void CorrectX86Folder(wchar_t* path, std::size_t areaSize, bool isDirectory) {
  if (Exists(path, isDirectory)) return;
  const DWORD pathLength = static_cast<DWORD>(lstrlenW(path));
  // The common files first: should they lie outside the program-files
  // folder, their own variables say where.
  for (int skip = 0; skip <= kCommonLength; skip += kCommonLength) {
    wchar_t x86[MAX_PATH];
    const DWORD x86Length = GetEnvironmentVariableW(kCommonX86 + skip, x86, MAX_PATH);
    if (x86Length == 0 || x86Length > pathLength ||
        (path[x86Length] != L'\\' && path[x86Length] != L'\0') ||
        CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, static_cast<int>(x86Length),
                       x86, static_cast<int>(x86Length)) != CSTR_EQUAL) {
      continue;
    }
    wchar_t native[MAX_PATH];
    const DWORD nativeLength = GetEnvironmentVariableW(kCommonNative + skip, native, MAX_PATH);
    const DWORD length = nativeLength + pathLength - x86Length;
    if (nativeLength == 0 || length >= MAX_PATH || length >= areaSize) return;
    lstrcpyW(native + nativeLength, path + x86Length);
    if (Exists(native, isDirectory)) lstrcpyW(path, native);
    return;
  }
}
