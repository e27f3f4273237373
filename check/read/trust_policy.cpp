// The checker's verdict is the platform's own: WinVerifyTrust's answer,
// unchanged. (tests/support/windows_trust_policy.cpp stands in for this
// file in the test variant that models Windows' answer.)
#include "check/read/trust_policy.h"

long PolicyVerdict(HANDLE, long answer) { return answer; }
