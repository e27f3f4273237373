// What the recorder program (recorder.cpp) leaves behind: one "key=value"
// line each for program, cwd, classpath and commandline, in a file named
// after the program, written whole or not at all.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

using Record = std::map<std::string, std::string>;

// The record file that the recorder copy at `programPath` writes in `folder`.
std::string RecordFileIn(const std::string& folder, const std::string& programPath);

// The record in `file`; none while there is no such file.
std::optional<Record> ReadRecordFile(const std::string& file);

// Waits up to `timeoutMs` for the record in `file`.
std::optional<Record> WaitForRecordFile(const std::string& file, DWORD timeoutMs);
