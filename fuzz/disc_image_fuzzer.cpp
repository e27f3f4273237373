// Fuzzes the checker's reading of disc images with the input as the image:
// seeded with small images mastered from a medium, mutated ones must end in
// findings, or in the one clear refusal, never in a crash or a hang.
#include <string>

#include "check/judge/image_check.h"
#include "check/print/text_report.h"
#include "check/read/image_bytes.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<Finding> findings = CheckImageBytes(
      ImageInMemory(std::string(reinterpret_cast<const char*>(data), size)), "fuzz.iso");
  Require(!findings.empty(), "an image gets at least one finding");
  const bool refused = findings.front().code == "not-a-disc-image";
  Require(!refused || findings.size() == 1, "a refused image gets that one finding only");
  Require(refused || findings.front().code == "image-names",
          "a readable image first says which names Windows reads");
  for (const Finding& finding : findings) {
    Require(!FormatFinding(finding).empty(), "every finding has its line");
  }
  return 0;
}
