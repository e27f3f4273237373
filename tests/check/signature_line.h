// One line of signature facts in the form both builds' printers give, so
// that the differential compares them as text: every fact the two builds
// must agree on, in a fixed order.
#pragma once

#include <string>

#include "check/read/program_facts.h"

inline std::string SignatureLine(const std::string& name, const SignatureFacts& facts) {
  const char* const kStamps[] = {"none", "rfc3161", "countersignature"};
  const auto quoted = [](const std::string& text) { return "\"" + text + "\""; };
  return name + ": embedded=" + (facts.embedded ? "yes" : "no") +
         " intact=" + (facts.intact ? "yes" : "no") + " digest=" + facts.digestAlgorithm +
         " timestamp=" + kStamps[static_cast<int>(facts.timeStamp)] +
         " time=" + quoted(facts.timeStampTime) + " signer=" + quoted(facts.signer) +
         " issuer=" + quoted(facts.issuer) + " signatures=" + std::to_string(facts.signatures) +
         " valid=" + quoted(facts.validFrom) + " to " + quoted(facts.validTo);
}
