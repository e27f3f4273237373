// The internet's mark on a program: the ZoneId of its Zone.Identifier
// stream, and where its drive is a mounted disc image, the image file's
// mark, which Windows hands on to the files it shows from it. Which file
// backs a drive Windows says through GetStorageDependencyInformation (the
// host volume's name and the file's path on it), from the system's
// virtual-disk library, loaded by full path only when asked.
#include "check/read/internet_mark.h"

#include "check/read/windows_text.h"

#include <windows.h>

#include <virtdisk.h>

#include <vector>

#include "platform/owners.h"
#include "platform/system_library.h"

namespace {

// Windows' answer for a drive that no virtual disk backs.
constexpr DWORD kNotVirtualDisk = 0xC03A0015;
// A mark is a few lines of text; more is not one.
constexpr DWORD kMarkLimit = 4096;

// The ZoneId of the file's Zone.Identifier stream: "[ZoneTransfer]" and a
// line "ZoneId=N". -1 without a stream, or without such a line.
int ZoneOf(const std::wstring& file) {
  const UniqueFile stream(CreateFileW((file + L":Zone.Identifier").c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  if (!stream.IsValid()) return -1;
  char text[kMarkLimit + 1] = {};
  DWORD read = 0;
  if (!ReadFile(stream.Get(), text, kMarkLimit, &read, nullptr)) return -1;
  const std::string mark(text, read);
  for (std::size_t at = mark.find("ZoneId="); at != std::string::npos;
       at = mark.find("ZoneId=", at + 1)) {
    if (at != 0 && mark[at - 1] != '\n') continue;
    int zone = 0;
    std::size_t digit = at + 7;
    for (; digit < mark.size() && mark[digit] >= '0' && mark[digit] <= '9' && zone < 100; ++digit) {
      zone = zone * 10 + (mark[digit] - '0');
    }
    return digit > at + 7 ? zone : -1;
  }
  return -1;
}

// Asks Windows which file backs the drive `root` ("R:\"), into `mark`.
void ReadBacking(const std::wstring& root, InternetMark& mark) {
  const auto dependencies = SystemFunction<decltype(&GetStorageDependencyInformation)>(
      "VIRTDISK.DLL", "GetStorageDependencyInformation");
  if (dependencies == nullptr) {
    mark.why = "this Windows has no GetStorageDependencyInformation to ask";
    return;
  }
  // The volume itself, opened for no access: enough to ask about it.
  const std::wstring volume = L"\\\\.\\" + root.substr(0, 2);
  const UniqueFile handle(CreateFileW(volume.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  if (!handle.IsValid()) {
    mark.why = "its volume cannot be opened to ask (error " + std::to_string(GetLastError()) + ")";
    return;
  }
  std::vector<ULONGLONG> area(512);  // 4 KiB, aligned for the pointers it holds
  auto* info = reinterpret_cast<STORAGE_DEPENDENCY_INFO*>(area.data());
  info->Version = STORAGE_DEPENDENCY_INFO_VERSION_2;
  ULONG used = 0;
  DWORD result = dependencies(handle.Get(), GET_STORAGE_DEPENDENCY_FLAG_HOST_VOLUMES,
                              static_cast<ULONG>(area.size() * sizeof(ULONGLONG)), info, &used);
  if (result == ERROR_INSUFFICIENT_BUFFER && used > area.size() * sizeof(ULONGLONG) &&
      used <= 1024 * 1024) {
    area.assign(used / sizeof(ULONGLONG) + 1, 0);
    info = reinterpret_cast<STORAGE_DEPENDENCY_INFO*>(area.data());
    info->Version = STORAGE_DEPENDENCY_INFO_VERSION_2;
    result = dependencies(handle.Get(), GET_STORAGE_DEPENDENCY_FLAG_HOST_VOLUMES,
                          static_cast<ULONG>(area.size() * sizeof(ULONGLONG)), info, &used);
  }
  if (result == kNotVirtualDisk) {
    mark.backing = DriveBacking::NotAnImage;
    return;
  }
  if (result != ERROR_SUCCESS || info->NumberEntries == 0) {
    mark.why = result != ERROR_SUCCESS ? "Windows did not say which file backs it (error " +
                                             std::to_string(result) + ")"
                                       : "Windows named no file behind it";
    return;
  }
  const STORAGE_DEPENDENCY_INFO_TYPE_2& entry = info->Version2Entries[0];
  if (entry.HostVolumeName == nullptr || entry.DependentVolumeRelativePath == nullptr) {
    mark.why = "Windows named no file behind it";
    return;
  }
  std::wstring image = entry.HostVolumeName;
  std::wstring relative = entry.DependentVolumeRelativePath;
  if (!image.empty() && image.back() == L'\\' && !relative.empty() && relative[0] == L'\\') {
    relative.erase(0, 1);
  }
  image += relative;
  mark.backing = DriveBacking::Image;
  mark.image = Utf8(image.c_str());
  mark.imageZone = ZoneOf(image);
}

}  // namespace

InternetMark ReadInternetMark(const wchar_t* program) {
  InternetMark mark;
  mark.programZone = ZoneOf(program);
  wchar_t root[MAX_PATH] = {};
  if (!GetVolumePathNameW(program, root, MAX_PATH)) {
    mark.why = "its drive cannot be told";
    return mark;
  }
  mark.drive = Utf8(root);
  // A drive letter's root, "R:\"; a share's has no image of this machine's.
  if (!(root[0] != 0 && root[1] == L':' && root[2] == L'\\' && root[3] == 0)) {
    mark.backing = DriveBacking::NotAnImage;
    return mark;
  }
  ReadBacking(root, mark);
  return mark;
}
