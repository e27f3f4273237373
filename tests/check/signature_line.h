// One line of signature facts in the form both builds' printers give, so
// that the differential compares them as text: every fact the two builds
// must agree on, in a fixed order.
#pragma once

#include <string>

#include "check/read/program_facts.h"

inline std::string SignatureLine(const std::string& name, const SignatureFacts& facts) {
  const char* const kStamps[] = {"none", "rfc3161", "countersignature"};
  const auto quoted = [](const std::string& text) { return "\"" + text + "\""; };
  const auto yes = [](bool fact) { return fact ? "yes" : "no"; };
  std::string nested;
  for (const std::string& algorithm : facts.nestedDigestAlgorithms) {
    nested += (nested.empty() ? "" : ",") + algorithm;
  }
  return name + ": embedded=" + yes(facts.embedded) + " intact=" + yes(facts.intact) +
         " verified=" + yes(facts.verified) + " digest=" + facts.digestAlgorithm +
         " timestamp=" + kStamps[static_cast<int>(facts.timeStamp)] +
         " time=" + quoted(facts.timeStampTime) +
         " stamp-verified=" + yes(facts.timeStampVerified) + " signer=" + quoted(facts.signer) +
         " issuer=" + quoted(facts.issuer) + " signatures=" + std::to_string(facts.signatures) +
         " nested=" + nested + " valid=" + quoted(facts.validFrom) + " to " + quoted(facts.validTo);
}
