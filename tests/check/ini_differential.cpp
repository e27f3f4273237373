// Reads every launcher key of every install.dat in a folder twice, with the
// platform's own initialization-file reader and with the checker's reader,
// and fails on any difference. One line per file.
//
// Two differences are known and left out: a file that begins with a UTF-8
// byte-order mark or with UTF-16 BE's. Wine's reader decodes both; Windows'
// reads both as ANSI bytes, mark included, and the checker follows Windows.
// The checker's own rows test those files with the findings they must give.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "check/read/ini_reader.h"

namespace {

constexpr const char* kKeys[][2] = {{"Config", "UnInstKey"},   {"Config", "SetupPath"},
                                    {"Config", "SetupTitle"},  {"Config", "ExeName"},
                                    {"Config", "ProductLink"}, {"AppRun", "RunFirst"},
                                    {"AppRun", "Installed"}};

// A Linux path as Wine shows it (drive Z:), or a Windows path as it is.
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::string Shown(const std::string& value) {
  std::string text;
  for (const char c : value.substr(0, 40)) {
    const auto code = static_cast<unsigned char>(c);
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, code < 32 || code > 126 ? "\\x%02X" : "%c", code);
    text += escaped;
  }
  return "\"" + text + (value.size() > 40 ? "...\" (" + std::to_string(value.size()) + ")" : "\"");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ini_differential CORPUS_FOLDER\n");
    return 2;
  }
  const std::string folder = WindowsPath(argv[1]);
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*.dat").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "no corpus in %s\n", folder.c_str());
    return 1;
  }
  std::vector<std::string> names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);

  int differing = 0;
  std::size_t known = 0;
  for (const std::string& name : names) {
    const std::string path = folder + "\\" + name;
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    const IniDocument document = ParseIni(bytes);
    if (document.encoding == IniEncoding::Utf8Bom || document.encoding == IniEncoding::Utf16Be) {
      std::printf("%s: known difference (Windows reads this byte-order mark as ANSI text)\n",
                  name.c_str());
      ++known;
      continue;
    }
    std::string differences;
    for (const auto& [section, key] : kKeys) {
      char platform[1024];
      GetPrivateProfileStringA(section, key, "", platform, sizeof platform, path.c_str());
      const std::string ours = ReadIniValue(document, section, key);
      if (ours != platform) {
        differences += std::string(" ") + section + "/" + key + ": platform " + Shown(platform) +
                       ", ours " + Shown(ours) + ";";
      }
    }
    std::printf("%s: %s\n", name.c_str(), differences.empty() ? "same" : differences.c_str());
    differing += differences.empty() ? 0 : 1;
  }
  std::printf("%zu files, %zu known differences, %d differing\n", names.size(), known, differing);
  return names.size() - known >= 40 && differing == 0 ? 0 : 1;
}
