// Why a name is missing from the names Windows reads on a disc image, told
// from the image's other name sets.
#pragma once

#include "check/judge/medium_findings.h"
#include "check/read/disc_image.h"

// The action that asks for Joliet names.
inline constexpr char kMasterWithJoliet[] =
    "master the image with Joliet names (xorriso -as mkisofs -J -joliet-long, or genisoimage "
    "-J -joliet-long)";

// Tells of a name Windows' set lacks, from the image's other sets; the image
// must outlive what is returned.
MissingNameExplainer ExplainMissingImageName(const DiscImage& image);
