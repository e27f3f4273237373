// A disc image's Joliet names, read from its directory records through the
// bounded reader: the names exactly as the image holds them, which Windows
// reads. (libarchive hands out at most 103 characters of a Joliet name,
// while a tool may write 104.)
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "check/read/image_bytes.h"
#include "check/read/image_tree.h"

// Reads the tree below the root record of the Joliet volume descriptor at
// `descriptorSector`; false with `error` set when it cannot be read whole.
bool ReadJolietTree(const std::shared_ptr<const ImageBytes>& bytes, std::uint64_t descriptorSector,
                    ImageTree& tree, std::string& error);
