// A signature's time stamp as the platform reads it (Windows build only):
// its time, and whether it holds: the time-stamping authority's signature
// verifies, and what it stamped is the signature it is attached to.
#pragma once

#include <windows.h>

#include <wincrypt.h>

#include <string>
#include <vector>

struct TimeStampReading {
  std::string time;  // UTC, "YYYY-MM-DD hh:mm:ss"; empty when it cannot be read
  bool holds = false;
};

// An RFC 3161 token (a SignedData over a TSTInfo) whose message imprint
// must be the digest of `signature`, the stamped signer's encrypted digest.
TimeStampReading ReadTimeStampToken(const CRYPT_ATTR_BLOB& token, const CRYPT_DATA_BLOB& signature);

// An older countersignature (a SignerInfo) of the signer encoded as
// `signer`, its certificate among those of `store`.
TimeStampReading ReadCountersignature(const CRYPT_ATTR_BLOB& countersignature,
                                      const std::vector<BYTE>& signer, HCERTSTORE store);
