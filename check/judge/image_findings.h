// The findings of a disc image: the names Windows reads, every check of the
// medium run on them, and for each name the medium's files give that
// Windows will not find, the name set that holds it instead.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "check/judge/medium_check.h"
#include "check/read/image_bytes.h"

// `name` is the image's file name, as the image's own findings give it.
std::vector<Finding> CheckImageBytes(const std::shared_ptr<const ImageBytes>& bytes,
                                     const std::string& name);
