// Fuzzes the class-path join, which works in UTF-16: the input's byte pairs
// are UTF-16 units, holding the current CLASSPATH and the stored class path,
// separated by the first zero unit. Each pair is also tried with the current
// text padded so the joined one lands at the variable's limit.
#include <string>

#include "fuzz/fuzz_support.h"
#include "start/class_path_join.h"

namespace {

void CheckJoin(const std::wstring& current, const std::wstring& stored) {
  auto joined = std::make_unique<EnvironmentText>();
  const bool changed = JoinClassPath(current.c_str(), stored.c_str(), *joined);
  const bool fits = current.size() + stored.size() <= EnvironmentText::kCapacity;
  Require(changed == (current.find(stored) == std::wstring::npos && fits),
          "joins exactly when the stored path is new and the result fits");
  if (changed) Require(current + stored == joined->c_str(), "joined is current then stored");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::wstring units;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    units += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  }
  const std::size_t separator = units.find(L'\0');
  const std::wstring current = units.substr(0, separator);
  std::wstring stored =
      separator == std::wstring::npos ? std::wstring() : units.substr(separator + 1);
  stored = stored.substr(0, stored.find(L'\0'));
  CheckJoin(current, stored);
  for (const std::size_t total : {EnvironmentText::kCapacity, EnvironmentText::kCapacity + 1}) {
    const std::size_t used = current.size() + stored.size();
    if (used < total) CheckJoin(std::wstring(total - used, L';') + current, stored);
  }
  return 0;
}
