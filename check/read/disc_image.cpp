// Which volumes the image declares, from its volume descriptors (the
// libraries read trees, but do not say whether a Joliet set was there, nor
// whether the image is shorter than its volume), then each tree read: the
// primary and Rock Ridge names by libarchive, UDF by libudfread, and Joliet,
// whose names libarchive cuts at 103 characters, from its own records.
#include "check/read/disc_image.h"

#include <cstring>

#include "check/read/iso9660_tree.h"
#include "check/read/joliet_tree.h"
#include "check/read/udf_tree.h"

namespace {

constexpr std::uint64_t kSector = 2048;
constexpr std::uint64_t kFirstDescriptor = 16;
// ISO 9660's set and UDF's recognition sequence together stay far below this.
constexpr std::uint64_t kMaxDescriptors = 64;

struct Volumes {
  bool primary = false;
  bool joliet = false;
  std::uint64_t jolietSector = 0;  // its descriptor's
  bool udf = false;
  std::uint64_t declaredBytes = 0;  // the primary volume's size
};

std::uint32_t Little32(const unsigned char* at) {
  return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
         std::uint32_t{at[3]} << 24;
}

// A supplementary descriptor is Joliet's when its escape sequences name one
// of UCS-2's three levels.
bool IsJoliet(const unsigned char* descriptor) {
  const unsigned char* escape = descriptor + 88;
  return escape[0] == '%' && escape[1] == '/' &&
         (escape[2] == '@' || escape[2] == 'C' || escape[2] == 'E');
}

Volumes ReadDescriptors(const ImageBytes& bytes) {
  Volumes volumes;
  unsigned char descriptor[kSector];
  for (std::uint64_t sector = kFirstDescriptor; sector < kFirstDescriptor + kMaxDescriptors;
       ++sector) {
    if (!bytes.Read(sector * kSector, descriptor, sizeof descriptor)) break;
    const char* id = reinterpret_cast<const char*>(descriptor + 1);
    if (std::memcmp(id, "CD001", 5) == 0) {
      if (descriptor[0] == 1 && !volumes.primary) {
        volumes.primary = true;
        const std::uint32_t blockSize = descriptor[128] | std::uint32_t{descriptor[129]} << 8;
        volumes.declaredBytes = std::uint64_t{Little32(descriptor + 80)} * blockSize;
      }
      if (descriptor[0] == 2 && IsJoliet(descriptor) && !volumes.joliet) {
        volumes.joliet = true;
        volumes.jolietSector = sector;
      }
    } else if (std::memcmp(id, "NSR02", 5) == 0 || std::memcmp(id, "NSR03", 5) == 0) {
      volumes.udf = true;
    } else if (std::memcmp(id, "BEA01", 5) != 0 && std::memcmp(id, "TEA01", 5) != 0 &&
               std::memcmp(id, "BOOT2", 5) != 0 && std::memcmp(id, "CDW02", 5) != 0) {
      break;
    }
  }
  return volumes;
}

bool ReadIsoNames(const std::shared_ptr<const ImageBytes>& bytes, IsoNames names, NameSet set,
                  DiscImage& image) {
  ImageTree tree;
  bool rockRidge = false;
  if (!ReadIso9660Tree(bytes, names, tree, image.error, rockRidge)) return false;
  if (names != IsoNames::RockRidge || rockRidge) image.trees.emplace(set, std::move(tree));
  return true;
}

bool ReadJoliet(const std::shared_ptr<const ImageBytes>& bytes, std::uint64_t sector,
                DiscImage& image) {
  ImageTree tree;
  if (!ReadJolietTree(bytes, sector, tree, image.error)) return false;
  image.trees.emplace(NameSet::Joliet, std::move(tree));
  return true;
}

}  // namespace

const char* NameSetName(NameSet names) {
  switch (names) {
    case NameSet::Udf:
      return "UDF";
    case NameSet::Joliet:
      return "Joliet";
    case NameSet::Iso9660:
      return "ISO 9660";
    case NameSet::RockRidge:
      break;
  }
  return "Rock Ridge";
}

DiscImage ReadDiscImage(const std::shared_ptr<const ImageBytes>& bytes) {
  DiscImage image;
  const Volumes volumes = ReadDescriptors(*bytes);
  if (!volumes.primary && !volumes.udf) {
    image.error = "it holds neither an ISO 9660 nor a UDF volume";
    return image;
  }
  if (volumes.declaredBytes > bytes->Size()) {
    image.error = "it is cut short: " + std::to_string(bytes->Size()) + " bytes of the " +
                  std::to_string(volumes.declaredBytes) + " its volume holds";
    return image;
  }
  if (volumes.udf) {
    ImageTree tree;
    if (!ReadUdfTree(bytes, tree, image.error)) return image;
    image.trees.emplace(NameSet::Udf, std::move(tree));
  }
  const bool isoRead = volumes.primary &&
                       ReadIsoNames(bytes, IsoNames::Primary, NameSet::Iso9660, image) &&
                       (!volumes.joliet || ReadJoliet(bytes, volumes.jolietSector, image)) &&
                       ReadIsoNames(bytes, IsoNames::RockRidge, NameSet::RockRidge, image);
  if (volumes.primary && !isoRead) {
    // Windows reads a bridge disc's UDF tree alone: a broken ISO 9660 part
    // leaves it readable, but its names cannot be compared.
    if (!volumes.udf) return image;
    image.error.clear();
    for (const NameSet set : {NameSet::Iso9660, NameSet::Joliet, NameSet::RockRidge}) {
      image.trees.erase(set);
    }
  }
  image.windows = volumes.udf ? NameSet::Udf : volumes.joliet ? NameSet::Joliet : NameSet::Iso9660;
  return image;
}
