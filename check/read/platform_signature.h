// The Windows build's reading of a program's embedded signature: the facts
// from the platform's own cryptography (CryptQueryObject, CryptMsgGetParam)
// and this machine's verdict from WinVerifyTrust, asked with no user
// interface, no revocation check and cached URLs only, so that nothing
// reaches the network. The host build reads the same facts with OpenSSL.
#pragma once

#include "check/read/program_facts.h"

// WinVerifyTrust's answer on this machine (generic verify, version 2).
struct TrustVerdict {
  bool asked = false;  // false: the path could not be handed to it
  // Its HRESULT: 0 (S_OK) when this machine trusts the signature; else e.g.
  // TRUST_E_NOSIGNATURE, TRUST_E_BAD_DIGEST, CERT_E_UNTRUSTEDROOT.
  long result = 0;
};

// Fills `facts` and `verdict` for the file at `path`, signed or not. False
// only when the file cannot be opened (facts.problem says why). `intact`
// is the platform's: the digest is confirmed unless WinVerifyTrust stopped
// at it (TRUST_E_BAD_DIGEST) or before it.
bool ReadPlatformSignature(const wchar_t* path, SignatureFacts& facts, TrustVerdict& verdict);

// WinVerifyTrust's verdict alone, through the policy seam (trust_policy.h).
TrustVerdict AskWinVerifyTrust(const wchar_t* path);
