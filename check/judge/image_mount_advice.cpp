// The Windows build: Windows itself reads a mounted image exactly as it
// will read the pressed disc, so the image is mounted and its drive checked.
#include "check/judge/image_check.h"

ImageCheck CheckImage(const std::filesystem::path& image, const JudgeOptions&) {
  return {{},
          image.filename().string() +
              " is a disc image: mount it (Explorer: right-click it, Mount) and check the "
              "drive it gets, e.g. autorun-check E:\\, so that Windows' own reader decides "
              "the medium's names"};
}
