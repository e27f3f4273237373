// This machine's verdict on a file's signature: WinVerifyTrust's generic
// verification (the policy Windows applies to a program it starts), with no
// user interface, no revocation check and URLs from the cache only: nothing
// is shown and nothing reaches the network. The state it keeps is closed
// again before the verdict is handed back.
#include <windows.h>

#include <softpub.h>
#include <wintrust.h>

#include "check/read/platform_signature.h"
#include "check/read/trust_policy.h"

TrustVerdict AskWinVerifyTrust(const wchar_t* path) {
  TrustVerdict verdict;
  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = path;
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  // INVALID_HANDLE_VALUE: there is no interactive user to ask.
  const HWND noUser = reinterpret_cast<HWND>(INVALID_HANDLE_VALUE);
  const LONG answer = WinVerifyTrust(noUser, &action, &data);
  verdict.asked = true;
  verdict.result = PolicyVerdict(data.hWVTStateData, answer);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(noUser, &action, &data);
  return verdict;
}
