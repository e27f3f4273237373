// The seam between WinVerifyTrust's verification and the verdict the checker
// reports. The checker itself reports the platform's answer unchanged; a
// test variant links a stand-in that answers as Windows does where Wine is
// more lenient (a chain to a root this machine does not trust).
#pragma once

#include <windows.h>

// The verdict for a verification whose state WinVerifyTrust still holds
// (`state`, from WTD_STATEACTION_VERIFY, closed by the caller afterwards)
// and that answered `answer`.
long PolicyVerdict(HANDLE state, long answer);
