// Fuzzes the checker's reader of install.dat with the input as the file:
// it never fails, gives every launcher key at most 1023 characters, and gives
// the same values when the same bytes are read again.
#include <string>
#include <string_view>

#include "check/read/ini_reader.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr const char* kKeys[][2] = {{"Config", "UnInstKey"},   {"Config", "SetupPath"},
                                    {"Config", "SetupTitle"},  {"Config", "ExeName"},
                                    {"Config", "ProductLink"}, {"AppRun", "RunFirst"},
                                    {"AppRun", "Installed"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const IniDocument first = ParseIni(bytes);
  const IniDocument again = ParseIni(std::string(bytes));
  for (const auto& [section, key] : kKeys) {
    const std::string value = ReadIniValue(first, section, key);
    Require(value.size() <= kValueCapacity, "a value holds at most 1023 characters");
    Require(value.find('\0') == std::string::npos, "a value ends at its first NUL");
    Require(value == ReadIniValue(again, section, key), "the same bytes read the same");
  }
  for (const IniSection& section : first.sections) {
    for (const IniEntry& entry : section.entries) {
      Require(ReturnedValue(entry.value).size() <= kValueCapacity, "every value fits its area");
    }
  }
  return 0;
}
