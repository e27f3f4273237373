// A disc image's UDF volume read with libudfread: the names Windows shows on
// a disc that has one, a bridge disc's included.
#pragma once

#include <memory>
#include <string>

#include "check/read/image_bytes.h"
#include "check/read/image_tree.h"

// Reads the tree; false with `error` set when the volume cannot be read.
bool ReadUdfTree(const std::shared_ptr<const ImageBytes>& bytes, ImageTree& tree,
                 std::string& error);
