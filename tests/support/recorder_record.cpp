// Reading the recorder program's records back.
#include "tests/support/recorder_record.h"

#include <cstdio>

#include "tests/support/patience.h"

std::string RecordFileIn(const std::string& folder, const std::string& programPath) {
  const std::string name = programPath.substr(programPath.rfind('\\') + 1);
  return folder + "\\" + name.substr(0, name.rfind('.')) + ".txt";
}

std::optional<Record> ReadRecordFile(const std::string& file) {
  FILE* stream = std::fopen(file.c_str(), "rb");
  if (stream == nullptr) return std::nullopt;
  Record record;
  char line[4096];
  while (std::fgets(line, sizeof line, stream) != nullptr) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const size_t equals = text.find('=');
    if (equals != std::string::npos) record[text.substr(0, equals)] = text.substr(equals + 1);
  }
  std::fclose(stream);
  return record;
}

std::optional<Record> WaitForRecordFile(const std::string& file, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    if (auto record = ReadRecordFile(file)) return record;
    Sleep(20);
  } while (GetTickCount() - start < Patience(timeoutMs));
  return std::nullopt;
}
