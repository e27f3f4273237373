// Prints the platform's signature facts for every file of a folder, one
// line each in the differential's form (signature_line.h), followed by
// " | verdict " and WinVerifyTrust's answer on this machine.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "check/read/platform_signature.h"
#include "tests/check/signature_line.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: platform_signature_print FOLDER\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "no such folder\n");
    return 1;
  }
  std::vector<std::wstring> names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  for (const std::wstring& name : names) {
    SignatureFacts facts;
    TrustVerdict verdict;
    ReadPlatformSignature((folder + L"\\" + name).c_str(), facts, verdict);
    char printable[MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, printable, MAX_PATH, nullptr, nullptr);
    std::printf("%s | verdict 0x%08lX%s%s\n", SignatureLine(printable, facts).c_str(),
                static_cast<unsigned long>(verdict.result), facts.problem.empty() ? "" : " | ",
                facts.problem.c_str());
  }
  return 0;
}
