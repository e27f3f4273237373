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

#include "check/read/crypt_owners.h"
#include "check/read/platform_signature.h"

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
// Attributes of Authenticode's: an RFC 3161 time-stamp token, and nested
// signatures; the older countersignature is PKCS #9's (szOID_RSA_counterSign).
constexpr char kRfc3161TimeStamp[] = "1.3.6.1.4.1.311.3.3.1";
constexpr char kNestedSignature[] = "1.3.6.1.4.1.311.2.4.1";
// A TSTInfo's fields up to its time: version, policy, messageImprint,
// serialNumber, genTime (RFC 3161, 2.4.2).
constexpr DWORD kGenTimeField = 4;

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

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return "";
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], size, nullptr, nullptr);
  bytes.pop_back();
  return bytes;
}

std::string TimeText(const FILETIME& time) {
  SYSTEMTIME utc;
  if (!FileTimeToSystemTime(&time, &utc)) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", utc.wYear, utc.wMonth, utc.wDay,
                utc.wHour, utc.wMinute, utc.wSecond);
  return text;
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

// A parameter of a message, sized first; empty when it is missing.
std::vector<BYTE> MessageParameter(HCRYPTMSG message, DWORD parameter, DWORD index) {
  DWORD size = 0;
  if (!CryptMsgGetParam(message, parameter, index, nullptr, &size) || size == 0) return {};
  std::vector<BYTE> bytes(size);
  if (!CryptMsgGetParam(message, parameter, index, bytes.data(), &size)) return {};
  bytes.resize(size);
  return bytes;
}

// Decodes `encoded` as `type`; the result is the decoder's to free.
template <typename Structure>
const Structure* Decoded(UniqueLocalMemory& owner, LPCSTR type, const BYTE* data, DWORD size) {
  void* decoded = nullptr;
  DWORD decodedSize = 0;
  if (!CryptDecodeObjectEx(kEncoding, type, data, size, CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded,
                           &decodedSize)) {
    return nullptr;
  }
  owner.Reset(decoded);
  return static_cast<const Structure*>(decoded);
}

std::string DecodedTime(const BYTE* data, DWORD size) {
  FILETIME time = {};
  DWORD timeSize = sizeof time;
  if (!CryptDecodeObjectEx(kEncoding, X509_CHOICE_OF_TIME, data, size, 0, nullptr, &time,
                           &timeSize)) {
    return "";
  }
  return TimeText(time);
}

// The time of an RFC 3161 token: its TSTInfo's genTime. The token is a
// SignedData whose content is the TSTInfo, which some decoders hand back
// still wrapped in its OCTET STRING.
std::string TokenTime(const CRYPT_ATTR_BLOB& token) {
  const UniqueCryptMessage message(CryptMsgOpenToDecode(kEncoding, 0, 0, 0, nullptr, nullptr));
  if (!message.IsValid() || !CryptMsgUpdate(message.Get(), token.pbData, token.cbData, TRUE)) {
    return "";
  }
  std::vector<BYTE> content = MessageParameter(message.Get(), CMSG_CONTENT_PARAM, 0);
  if (!content.empty() && content[0] == 0x04) {
    UniqueLocalMemory owner;
    const auto* inner = Decoded<CRYPT_DATA_BLOB>(owner, X509_OCTET_STRING, content.data(),
                                                 static_cast<DWORD>(content.size()));
    if (inner == nullptr) return "";
    content.assign(inner->pbData, inner->pbData + inner->cbData);
  }
  UniqueLocalMemory owner;
  const auto* fields = Decoded<CRYPT_SEQUENCE_OF_ANY>(owner, X509_SEQUENCE_OF_ANY, content.data(),
                                                      static_cast<DWORD>(content.size()));
  if (fields == nullptr || fields->cValue <= kGenTimeField) return "";
  const CRYPT_DER_BLOB& genTime = fields->rgValue[kGenTimeField];
  return DecodedTime(genTime.pbData, genTime.cbData);
}

// The time of an older countersignature: its signing-time attribute.
std::string CountersignatureTime(const CRYPT_ATTR_BLOB& value) {
  UniqueLocalMemory owner;
  const auto* counter =
      Decoded<CMSG_SIGNER_INFO>(owner, PKCS7_SIGNER_INFO, value.pbData, value.cbData);
  if (counter == nullptr) return "";
  for (DWORD i = 0; i < counter->AuthAttrs.cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = counter->AuthAttrs.rgAttr[i];
    if (std::strcmp(attribute.pszObjId, szOID_RSA_signingTime) == 0 && attribute.cValue > 0) {
      return DecodedTime(attribute.rgValue[0].pbData, attribute.rgValue[0].cbData);
    }
  }
  return "";
}

// The signer's unauthenticated attributes: its time stamp and the nested
// signatures it carries.
void ReadUnsignedAttributes(const CMSG_SIGNER_INFO& signer, SignatureFacts& facts) {
  for (DWORD i = 0; i < signer.UnauthAttrs.cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = signer.UnauthAttrs.rgAttr[i];
    if (attribute.cValue == 0) continue;
    if (std::strcmp(attribute.pszObjId, kNestedSignature) == 0) {
      facts.signatures += static_cast<int>(attribute.cValue);
    } else if (std::strcmp(attribute.pszObjId, kRfc3161TimeStamp) == 0) {
      facts.timeStamp = TimeStampKind::Rfc3161;
      facts.timeStampTime = TokenTime(attribute.rgValue[0]);
    } else if (std::strcmp(attribute.pszObjId, szOID_RSA_counterSign) == 0 &&
               facts.timeStamp == TimeStampKind::None) {
      facts.timeStamp = TimeStampKind::Countersignature;
      facts.timeStampTime = CountersignatureTime(attribute.rgValue[0]);
    }
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
  ReadUnsignedAttributes(signer, facts);
  CERT_INFO wanted = {};
  wanted.Issuer = signer.Issuer;
  wanted.SerialNumber = signer.SerialNumber;
  const UniqueCertificate certificate(
      CertFindCertificateInStore(store, kEncoding, 0, CERT_FIND_SUBJECT_CERT, &wanted, nullptr));
  if (!certificate.IsValid()) {
    facts.problem = "the signer's certificate is not in the signature";
    return;
  }
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
