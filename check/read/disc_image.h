// A disc image read as Windows reads it: every name set it holds, and the
// one Windows shows, which is the UDF tree where the image has a UDF volume
// (a bridge disc), else the Joliet names, else the primary ISO 9660 names.
// Rock Ridge names, which Windows ignores, are read to tell what a
// publisher meant.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "check/read/image_bytes.h"
#include "check/read/image_tree.h"

enum class NameSet { Udf, Joliet, Iso9660, RockRidge };

// "UDF", "Joliet", "ISO 9660", "Rock Ridge".
const char* NameSetName(NameSet names);

struct DiscImage {
  std::string error;  // why Windows cannot read the image; empty when it can
  NameSet windows = NameSet::Iso9660;
  std::map<NameSet, ImageTree> trees;  // every name set the image holds
};

DiscImage ReadDiscImage(const std::shared_ptr<const ImageBytes>& bytes);
