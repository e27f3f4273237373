// A program's embedded signature as the platform reads it: the PKCS #7
// SignedData of its certificate table (CryptQueryObject), its signer's
// certificate from the message's own store, the digest algorithm, the time
// stamp among the signer's unauthenticated attributes (an RFC 3161 token,
// or the older countersignature) and the nested signatures; whether it is
// intact is WinVerifyTrust's to say.
#include <windows.h>

#include <wincrypt.h>
#include <wintrust.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "check/read/crypt_decoding.h"
#include "check/read/platform_signature.h"
#include "check/read/platform_time_stamp.h"
#include "check/read/windows_text.h"

namespace {

// Attributes of Authenticode's: an RFC 3161 time-stamp token, and nested
// signatures; the older countersignature is PKCS #9's (szOID_RSA_counterSign).
constexpr char kRfc3161TimeStamp[] = "1.3.6.1.4.1.311.3.3.1";
constexpr char kNestedSignature[] = "1.3.6.1.4.1.311.2.4.1";

const char* DigestName(const char* oid) {
  static const struct {
    const char* oid;
    const char* name;
  } kNames[] = {{"1.3.14.3.2.26", "SHA-1"},
                {"2.16.840.1.101.3.4.2.1", "SHA-256"},
                {"2.16.840.1.101.3.4.2.2", "SHA-384"},
                {"2.16.840.1.101.3.4.2.3", "SHA-512"},
                {"1.2.840.113549.2.5", "MD5"}};
  for (const auto& known : kNames) {
    if (std::strcmp(known.oid, oid) == 0) return known.name;
  }
  return oid;
}

std::string Hex(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

// A certificate's common name, or what the platform shows for it without one.
std::string CertificateName(PCCERT_CONTEXT certificate, DWORD flags) {
  wchar_t name[256] = {};
  CertGetNameStringW(certificate, CERT_NAME_ATTR_TYPE, flags, const_cast<char*>(szOID_COMMON_NAME),
                     name, 256);
  if (name[0] == 0) {
    CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, name, 256);
  }
  return Utf8(name);
}

// Whether WinVerifyTrust got past the digest: its answer is one given only
// after the Authenticode digest was recomputed and matched (trusted, or a
// finding on the signer's certificate, its chain or its time stamp).
bool DigestConfirmed(long result) {
  const auto code = static_cast<unsigned long>(result);
  const bool certificateFinding = (code & 0xFFFFFF00UL) == 0x800B0100UL &&
                                  result != TRUST_E_NOSIGNATURE;  // CERT_E_*, explicit distrust
  return result == S_OK || certificateFinding || result == TRUST_E_SUBJECT_NOT_TRUSTED ||
         result == TRUST_E_TIME_STAMP || result == TRUST_E_COUNTER_SIGNER ||
         result == CRYPT_E_SECURITY_SETTINGS || result == CRYPT_E_REVOKED;
}

// Where the signed content's octets start in what CMSG_CONTENT_PARAM gives:
// Authenticode signs its SpcIndirectDataContent's value, without the
// SEQUENCE's tag and length. Zero when it is not such a SEQUENCE.
std::size_t ContentOctetsAt(const std::vector<BYTE>& content) {
  if (content.size() < 2 || content[0] != 0x30) return 0;
  if (content[1] < 0x80) return 2;
  const std::size_t lengthBytes = content[1] & 0x7F;
  return lengthBytes == 0 || lengthBytes > 4 || content.size() < 2 + lengthBytes ? 0
                                                                                 : 2 + lengthBytes;
}

// Whether the signer's own signature holds over what it signed: its signed
// attributes verify with its certificate, and their message digest is that
// of the signed content.
bool SignerSignatureHolds(HCRYPTMSG message, PCCERT_CONTEXT certificate) {
  const std::vector<BYTE> content = MessageParameter(message, CMSG_CONTENT_PARAM, 0);
  const std::size_t at = ContentOctetsAt(content);
  return at != 0 && SignedDigestMatches(message, content.data() + at, content.size() - at) &&
         CryptMsgControl(message, 0, CMSG_CTRL_VERIFY_SIGNATURE, certificate->pCertInfo);
}

// The digest algorithm of a nested signature (a SignedData of its own).
std::string NestedDigestAlgorithm(const CRYPT_ATTR_BLOB& nested) {
  const UniqueCryptMessage message(CryptMsgOpenToDecode(kCryptEncoding, 0, 0, 0, nullptr, nullptr));
  if (!message.IsValid() || !CryptMsgUpdate(message.Get(), nested.pbData, nested.cbData, TRUE)) {
    return "";
  }
  const std::vector<BYTE> bytes = MessageParameter(message.Get(), CMSG_SIGNER_INFO_PARAM, 0);
  if (bytes.size() < sizeof(CMSG_SIGNER_INFO)) return "";
  return DigestName(
      reinterpret_cast<const CMSG_SIGNER_INFO*>(bytes.data())->HashAlgorithm.pszObjId);
}

// The signer's unauthenticated attributes: its time stamp, and the nested
// signatures it carries.
void ReadUnsignedAttributes(HCRYPTMSG message, HCERTSTORE store, const CMSG_SIGNER_INFO& signer,
                            SignatureFacts& facts) {
  for (DWORD i = 0; i < signer.UnauthAttrs.cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = signer.UnauthAttrs.rgAttr[i];
    if (attribute.cValue == 0) continue;
    TimeStampReading stamp;
    if (std::strcmp(attribute.pszObjId, kNestedSignature) == 0) {
      facts.signatures += static_cast<int>(attribute.cValue);
      for (DWORD value = 0; value < attribute.cValue; ++value) {
        facts.nestedDigestAlgorithms.push_back(NestedDigestAlgorithm(attribute.rgValue[value]));
      }
      continue;
    }
    if (std::strcmp(attribute.pszObjId, kRfc3161TimeStamp) == 0) {
      facts.timeStamp = TimeStampKind::Rfc3161;
      stamp = ReadTimeStampToken(attribute.rgValue[0], signer.EncryptedHash);
    } else if (std::strcmp(attribute.pszObjId, szOID_RSA_counterSign) == 0 &&
               facts.timeStamp == TimeStampKind::None) {
      facts.timeStamp = TimeStampKind::Countersignature;
      stamp = ReadCountersignature(attribute.rgValue[0],
                                   MessageParameter(message, CMSG_ENCODED_SIGNER, 0), store);
    } else {
      continue;
    }
    facts.timeStampTime = stamp.time;
    facts.timeStampVerified = stamp.holds;
  }
}

void ReadSigner(HCERTSTORE store, HCRYPTMSG message, SignatureFacts& facts) {
  DWORD signers = 0;
  DWORD size = sizeof signers;
  CryptMsgGetParam(message, CMSG_SIGNER_COUNT_PARAM, 0, &signers, &size);
  facts.signatures = static_cast<int>(signers);
  const std::vector<BYTE> bytes = MessageParameter(message, CMSG_SIGNER_INFO_PARAM, 0);
  if (bytes.size() < sizeof(CMSG_SIGNER_INFO)) {
    facts.problem = "the signature names no signer";
    return;
  }
  const auto& signer = *reinterpret_cast<const CMSG_SIGNER_INFO*>(bytes.data());
  facts.digestAlgorithm = DigestName(signer.HashAlgorithm.pszObjId);
  ReadUnsignedAttributes(message, store, signer, facts);
  CERT_INFO wanted = {};
  wanted.Issuer = signer.Issuer;
  wanted.SerialNumber = signer.SerialNumber;
  const UniqueCertificate certificate(CertFindCertificateInStore(
      store, kCryptEncoding, 0, CERT_FIND_SUBJECT_CERT, &wanted, nullptr));
  if (!certificate.IsValid()) {
    facts.problem = "the signer's certificate is not in the signature";
    return;
  }
  facts.verified = SignerSignatureHolds(message, certificate.Get());
  facts.signer = CertificateName(certificate.Get(), 0);
  facts.issuer = CertificateName(certificate.Get(), CERT_NAME_ISSUER_FLAG);
  facts.validFrom = TimeText(certificate.Get()->pCertInfo->NotBefore);
  facts.validTo = TimeText(certificate.Get()->pCertInfo->NotAfter);
}

}  // namespace

bool ReadPlatformSignature(const wchar_t* path, SignatureFacts& facts, TrustVerdict& verdict) {
  facts = SignatureFacts{};
  verdict = TrustVerdict{};
  const UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.IsValid()) {
    facts.problem = "the file cannot be opened (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  verdict = AskWinVerifyTrust(path);
  HCERTSTORE store = nullptr;
  HCRYPTMSG message = nullptr;
  const BOOL embedded = CryptQueryObject(
      CERT_QUERY_OBJECT_FILE, path, CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
      CERT_QUERY_FORMAT_FLAG_BINARY, 0, nullptr, nullptr, nullptr, &store, &message, nullptr);
  const DWORD queryError = GetLastError();
  const UniqueCertStore storeOwner(store);
  const UniqueCryptMessage messageOwner(message);
  if (!embedded) {
    // No match: no certificate table, or nothing the platform takes for one.
    if (queryError != static_cast<DWORD>(CRYPT_E_NO_MATCH) &&
        verdict.result != TRUST_E_NOSIGNATURE && verdict.result != TRUST_E_SUBJECT_FORM_UNKNOWN) {
      facts.problem = "its signature cannot be read (" + Hex(static_cast<long>(queryError)) + ")";
    }
    return true;
  }
  facts.embedded = true;
  facts.intact = DigestConfirmed(verdict.result);
  ReadSigner(store, message, facts);
  return true;
}
