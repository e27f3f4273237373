// The native program-files folder for a path in the 32-bit view.
#include "probes/program_files_view.h"

#include <windows.h>

namespace {

// The 32-bit view's and the native folder's variables; without their first
// six characters ("Common") they name the program-files folders themselves.
constexpr wchar_t kCommonX86[] = L"CommonProgramFiles(x86)";
constexpr wchar_t kCommonNative[] = L"CommonProgramW6432";
constexpr int kCommonLength = 6;

// Whether `path` names a file, or for `isDirectory` a folder.
bool Exists(const wchar_t* path, bool isDirectory) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == isDirectory;
}

// Folder names compare without regard to the case of their ASCII letters,
// which the program-files folders' names are made of.
wchar_t Folded(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

// A variable's value, when it has one that fits.
bool ReadVariable(const wchar_t* name, WidePlatformPath& value) {
  const DWORD length = GetEnvironmentVariableW(name, value.Area(), WidePlatformPath::kAreaSize);
  return length != 0 && length <= WidePlatformPath::kCapacity;
}

}  // namespace

bool CorrectX86Folder(WidePlatformPath& path, bool isDirectory, WidePlatformPath& original) {
  if (Exists(path.c_str(), isDirectory)) return false;
  // The common files first: should they lie outside the program-files
  // folder, their own variables say where.
  for (int skip = 0; skip <= kCommonLength; skip += kCommonLength) {
    WidePlatformPath folder;
    if (!ReadVariable(kCommonX86 + skip, folder)) continue;
    const wchar_t* inFolder = folder.c_str();
    const wchar_t* rest = path.c_str();
    while (*inFolder != 0 && Folded(*inFolder) == Folded(*rest)) ++inFolder, ++rest;
    if (*inFolder != 0 || (*rest != 0 && *rest != L'\\')) continue;
    WidePlatformPath native;
    return ReadVariable(kCommonNative + skip, native) && native.Append(rest) &&
           Exists(native.c_str(), isDirectory) && original.Assign(path.c_str()) &&
           path.Assign(native.c_str());
  }
  return false;
}
