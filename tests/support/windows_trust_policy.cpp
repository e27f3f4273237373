// Stands in for the checker's trust policy (check/read/trust_policy.cpp) in
// the checker variant that answers as Windows does where Wine is more
// lenient. Windows' WinVerifyTrust refuses a signature whose chain ends in a
// root this machine does not trust (CERT_E_UNTRUSTEDROOT), or in no root at
// all (CERT_E_CHAINING); Wine's answers S_OK for both. Every other answer
// is the platform's own.
#include <windows.h>

#include <wincrypt.h>
#include <wintrust.h>

#include "check/read/crypt_owners.h"
#include "check/read/trust_policy.h"

long PolicyVerdict(HANDLE state, long answer) {
  if (answer != S_OK) return answer;
  CRYPT_PROVIDER_DATA* data = WTHelperProvDataFromStateData(state);
  CRYPT_PROVIDER_SGNR* signer =
      data == nullptr ? nullptr : WTHelperGetProvSignerFromChain(data, 0, FALSE, 0);
  if (signer == nullptr || signer->pChainContext == nullptr || signer->pChainContext->cChain == 0 ||
      signer->pChainContext->rgpChain[0]->cElement == 0) {
    return CERT_E_CHAINING;
  }
  const CERT_SIMPLE_CHAIN* chain = signer->pChainContext->rgpChain[0];
  const PCCERT_CONTEXT last = chain->rgpElement[chain->cElement - 1]->pCertContext;
  const CERT_INFO* info = last->pCertInfo;
  if (!CertCompareCertificateName(X509_ASN_ENCODING, const_cast<CERT_NAME_BLOB*>(&info->Issuer),
                                  const_cast<CERT_NAME_BLOB*>(&info->Subject))) {
    return CERT_E_CHAINING;  // the chain ends below a root
  }
  // The user's trusted roots, which take in the machine's.
  const UniqueCertStore roots(
      CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                    CERT_SYSTEM_STORE_CURRENT_USER | CERT_STORE_READONLY_FLAG, L"Root"));
  const UniqueCertificate trusted(
      roots.IsValid()
          ? CertFindCertificateInStore(roots.Get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                       CERT_FIND_EXISTING, last, nullptr)
          : nullptr);
  return trusted.IsValid() ? answer : CERT_E_UNTRUSTEDROOT;
}
