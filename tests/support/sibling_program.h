// The programs of this build: autorun.exe, the test programs and the helper
// programs they start all land in one folder, where each finds the others.
#pragma once

#include <windows.h>

#include <string>

// This program's folder, ending in a backslash.
inline std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// A program beside this one, by its file name ("recorder.exe").
inline std::string SiblingProgram(const char* fileName) { return ProgramFolder() + fileName; }
