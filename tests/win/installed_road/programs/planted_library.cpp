// Plays both sides of a library planting: it writes a copy of itself, made
// into a library, as "PSAPI.DLL" into a folder, and it asks for the
// process-status library the way the launcher does or the naive way. A
// planted copy that is loaded leaves "<its own path>.loaded" beside itself.
//   planted_library plant <folder>  writes <folder>\PSAPI.DLL; 0 on success
//   planted_library probe           the launcher's probe; 10 when it found
//                                   this program running, 11 when not
//   planted_library plain           LoadLibraryA("PSAPI.DLL"); 20 when loaded
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "probes/running_program_probe.h"

namespace {

// The entry of the planted copy. The C runtime is not set up in it, so only
// kernel calls are made.
BOOL WINAPI PlantedEntry(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char mark[MAX_PATH + 16] = {};
  const DWORD length = GetModuleFileNameA(self, mark, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcatA(mark, ".loaded");
  const HANDLE file =
      CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}

std::vector<char> ReadWhole(const char* path) {
  std::vector<char> content;
  const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return content;
  content.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  if (!ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr) ||
      read != content.size()) {
    content.clear();
  }
  CloseHandle(file);
  return content;
}

// The program's own image, flagged as a library whose entry is PlantedEntry.
// The image carries relocations, so it loads at any address.
int Plant(const char* folder) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::vector<char> image = ReadWhole(self);
  if (image.size() < sizeof(IMAGE_DOS_HEADER)) return 1;
  IMAGE_DOS_HEADER dos;
  std::memcpy(&dos, image.data(), sizeof dos);
  const auto ntOffset = static_cast<std::size_t>(dos.e_lfanew);
  if (ntOffset + sizeof(IMAGE_NT_HEADERS32) > image.size()) return 1;
  IMAGE_NT_HEADERS32 nt;
  std::memcpy(&nt, image.data() + ntOffset, sizeof nt);
  if (nt.Signature != IMAGE_NT_SIGNATURE) return 1;
  nt.FileHeader.Characteristics |= IMAGE_FILE_DLL;
  const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
  nt.OptionalHeader.AddressOfEntryPoint =
      static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(&PlantedEntry) - base);
  std::memcpy(image.data() + ntOffset, &nt, sizeof nt);

  char target[MAX_PATH] = {};
  lstrcpynA(target, folder, MAX_PATH - 12);
  lstrcatA(target, "\\PSAPI.DLL");
  const HANDLE file =
      CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == image.size() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "plant") == 0) return Plant(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "probe") == 0) {
    RunningProgramFacts facts{};
    return IsProgramRunning("\\planted_library.exe", facts) ? 10 : 11;
  }
  if (argc == 2 && std::strcmp(argv[1], "plain") == 0) {
    return LoadLibraryA("PSAPI.DLL") != nullptr ? 20 : 21;
  }
  return 2;
}
