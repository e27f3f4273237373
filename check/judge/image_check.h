// A disc image checked as Windows will read the pressed medium. The host
// build reads the image itself; the Windows build leaves the judgement to
// Windows' own reader, on the image mounted as a drive.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "check/judge/medium_check.h"

struct ImageCheck {
  std::vector<Finding> findings;
  std::string refusal;  // when this build does not read images: what to do instead
};

ImageCheck CheckImage(const std::filesystem::path& image);
