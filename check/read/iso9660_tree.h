// A disc image's ISO 9660 volume read with libarchive, as one of two name
// sets: the primary names (8.3, upper case, version suffix dropped, as
// Windows shows them), or the Rock Ridge names.
#pragma once

#include <memory>
#include <string>

#include "check/read/image_bytes.h"
#include "check/read/image_tree.h"

enum class IsoNames { Primary, RockRidge };

// Reads the tree; false with `error` set when the volume cannot be read.
// `rockRidge` tells whether the volume holds Rock Ridge names at all.
bool ReadIso9660Tree(const std::shared_ptr<const ImageBytes>& bytes, IsoNames names,
                     ImageTree& tree, std::string& error, bool& rockRidge);
