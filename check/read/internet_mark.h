// Whether a program carries the internet's mark (Windows build only): its
// own Zone.Identifier stream, and, on a mounted disc image, the mark of the
// image file, which Windows hands on to the files of the mounted drive.
#pragma once

#include <string>

enum class DriveBacking {
  NotAnImage,  // Windows says no virtual disk backs the drive
  Image,       // Windows names the image file behind the drive
  CannotTell,  // Windows could not be asked, or did not say
};

struct InternetMark {
  int programZone = -1;  // ZoneId of the program's mark; -1: none
  DriveBacking backing = DriveBacking::CannotTell;
  std::string drive;   // the program's drive, e.g. "R:\", in UTF-8
  std::string image;   // the image file behind it, in UTF-8
  int imageZone = -1;  // ZoneId of the image file's mark; -1: none
  std::string why;     // why it cannot tell
};

// ZoneId 3 is the internet's, 4 that of untrusted sites.
constexpr int kInternetZone = 3;

InternetMark ReadInternetMark(const wchar_t* program);
