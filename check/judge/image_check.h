// A disc image checked as Windows will read the pressed medium. The host
// build reads the image itself; the Windows build leaves the judgement to
// Windows' own reader, on the image mounted as a drive.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "check/judge/finding.h"
#include "check/judge/medium_findings.h"
#include "check/read/image_bytes.h"

struct ImageCheck {
  std::vector<Finding> findings;
  std::string refusal;  // when this build does not read images: what to do instead
};

ImageCheck CheckImage(const std::filesystem::path& image, const JudgeOptions& options = {});

// The image's bytes checked (the host build's reader); `name` is the image's
// file name, as the image's own findings give it.
std::vector<Finding> CheckImageBytes(const std::shared_ptr<const ImageBytes>& bytes,
                                     const std::string& name, const JudgeOptions& options = {});
