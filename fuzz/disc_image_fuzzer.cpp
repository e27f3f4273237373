// Fuzzes the checker's reading of disc images with the input as the image:
// seeded with small images mastered from a medium, mutated ones must end in
// findings, or in the one clear refusal, never in a crash or a hang; and the
// findings must print.
#include <string>

#include "check/judge/image_check.h"
#include "check/print/json_report.h"
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
  // The image's names and bytes reach the JSON report, which must stay
  // one document whatever they hold.
  const std::string json = JsonReport({{{"fuzz.iso", true}}, findings});
  Require(json.find('\0') == std::string::npos && json.back() == '\n', "the JSON is whole");
  return 0;
}
