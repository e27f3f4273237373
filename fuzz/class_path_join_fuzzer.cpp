// Fuzzes the class-path join: the input holds the current CLASSPATH and the
// stored class path, separated by the first NUL byte. Each pair is also tried
// with the current text padded so the joined one lands at the variable's limit.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "start/class_path_join.h"

namespace {

void CheckJoin(const std::string& current, const std::string& stored) {
  auto joined = std::make_unique<EnvironmentText>();
  const bool changed = JoinClassPath(current.c_str(), stored.c_str(), *joined);
  const bool fits = current.size() + stored.size() <= EnvironmentText::kCapacity;
  Require(changed == (current.find(stored) == std::string::npos && fits),
          "joins exactly when the stored path is new and the result fits");
  if (changed) Require(current + stored == joined->c_str(), "joined is current then stored");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto text = TerminatedText(data, size);
  const std::string current = text.get();
  const std::size_t storedAt = current.size() < size ? current.size() + 1 : size;
  const std::string stored = text.get() + storedAt;
  CheckJoin(current, stored);
  for (const std::size_t total : {EnvironmentText::kCapacity, EnvironmentText::kCapacity + 1}) {
    const std::size_t used = current.size() + stored.size();
    if (used < total) CheckJoin(std::string(total - used, ';') + current, stored);
  }
  return 0;
}
