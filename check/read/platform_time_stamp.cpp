// Time stamps read with the platform's cryptography. An RFC 3161 token is a
// SignedData whose content is a TSTInfo (RFC 3161, 2.4.2): its genTime is
// the time, its messageImprint the digest of what was stamped, and the
// authority's own signature is verified by the message itself
// (CMSG_CTRL_VERIFY_SIGNATURE). The older countersignature is a SignerInfo
// over the signer's encrypted digest, with a signing-time attribute.
#include "check/read/platform_time_stamp.h"

#include <cstring>
#include <vector>

#include "check/read/crypt_decoding.h"

namespace {

// A TSTInfo's fields: version, policy, messageImprint, serialNumber, genTime.
constexpr DWORD kImprintField = 2;
constexpr DWORD kGenTimeField = 4;

// The TSTInfo a token's content holds, which some decoders hand back still
// wrapped in its OCTET STRING.
std::vector<BYTE> TimeStampInfo(HCRYPTMSG token) {
  std::vector<BYTE> content = MessageParameter(token, CMSG_CONTENT_PARAM, 0);
  if (!content.empty() && content[0] == 0x04) {
    UniqueLocalMemory owner;
    const auto* inner = Decoded<CRYPT_DATA_BLOB>(owner, X509_OCTET_STRING, content.data(),
                                                 static_cast<DWORD>(content.size()));
    if (inner == nullptr) return {};
    content.assign(inner->pbData, inner->pbData + inner->cbData);
  }
  return content;
}

// Whether the imprint, a SEQUENCE of an algorithm and an OCTET STRING, is
// the digest of `signature`.
bool ImprintMatches(const CRYPT_DER_BLOB& imprint, const CRYPT_DATA_BLOB& signature) {
  UniqueLocalMemory fieldsOwner;
  const auto* fields = Decoded<CRYPT_SEQUENCE_OF_ANY>(fieldsOwner, X509_SEQUENCE_OF_ANY,
                                                      imprint.pbData, imprint.cbData);
  if (fields == nullptr || fields->cValue != 2) return false;
  UniqueLocalMemory hashOwner;
  const auto* hashed = Decoded<CRYPT_DATA_BLOB>(
      hashOwner, X509_OCTET_STRING, fields->rgValue[1].pbData, fields->rgValue[1].cbData);
  if (hashed == nullptr || hashed->cbData == 0) return false;
  const std::vector<BYTE> digest = DigestOfSize(signature, hashed->cbData);
  return digest.size() == hashed->cbData &&
         std::memcmp(digest.data(), hashed->pbData, hashed->cbData) == 0;
}

// The certificate in `store` that `wanted` (issuer and serial) names.
UniqueCertificate CertificateNamed(HCERTSTORE store, const CERT_INFO& wanted) {
  return UniqueCertificate(CertFindCertificateInStore(store, kCryptEncoding, 0,
                                                      CERT_FIND_SUBJECT_CERT, &wanted, nullptr));
}

// Whether the token's own signature, by the authority's certificate it
// carries, verifies over its signed attributes.
bool AuthoritySignatureHolds(HCRYPTMSG token) {
  const std::vector<BYTE> signer = MessageParameter(token, CMSG_SIGNER_CERT_INFO_PARAM, 0);
  if (signer.size() < sizeof(CERT_INFO)) return false;
  const UniqueCertStore store(
      CertOpenStore(CERT_STORE_PROV_MSG, kCryptEncoding, 0, 0, static_cast<const void*>(token)));
  if (!store.IsValid()) return false;
  const UniqueCertificate certificate =
      CertificateNamed(store.Get(), *reinterpret_cast<const CERT_INFO*>(signer.data()));
  return certificate.IsValid() &&
         CryptMsgControl(token, 0, CMSG_CTRL_VERIFY_SIGNATURE, certificate.Get()->pCertInfo);
}

}  // namespace

TimeStampReading ReadTimeStampToken(const CRYPT_ATTR_BLOB& token,
                                    const CRYPT_DATA_BLOB& signature) {
  TimeStampReading reading;
  const UniqueCryptMessage message(CryptMsgOpenToDecode(kCryptEncoding, 0, 0, 0, nullptr, nullptr));
  if (!message.IsValid() || !CryptMsgUpdate(message.Get(), token.pbData, token.cbData, TRUE)) {
    return reading;
  }
  const std::vector<BYTE> info = TimeStampInfo(message.Get());
  UniqueLocalMemory owner;
  const auto* fields = Decoded<CRYPT_SEQUENCE_OF_ANY>(owner, X509_SEQUENCE_OF_ANY, info.data(),
                                                      static_cast<DWORD>(info.size()));
  if (fields == nullptr || fields->cValue <= kGenTimeField) return reading;
  const CRYPT_DER_BLOB& genTime = fields->rgValue[kGenTimeField];
  reading.time = DecodedTime(genTime.pbData, genTime.cbData);
  reading.holds = !reading.time.empty() &&
                  ImprintMatches(fields->rgValue[kImprintField], signature) &&
                  SignedDigestMatches(message.Get(), info.data(), info.size()) &&
                  AuthoritySignatureHolds(message.Get());
  return reading;
}

TimeStampReading ReadCountersignature(const CRYPT_ATTR_BLOB& countersignature,
                                      const std::vector<BYTE>& signer, HCERTSTORE store) {
  TimeStampReading reading;
  UniqueLocalMemory owner;
  const auto* counter = Decoded<CMSG_SIGNER_INFO>(owner, PKCS7_SIGNER_INFO, countersignature.pbData,
                                                  countersignature.cbData);
  if (counter == nullptr) return reading;
  for (DWORD i = 0; i < counter->AuthAttrs.cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = counter->AuthAttrs.rgAttr[i];
    if (std::strcmp(attribute.pszObjId, szOID_RSA_signingTime) == 0 && attribute.cValue > 0) {
      reading.time = DecodedTime(attribute.rgValue[0].pbData, attribute.rgValue[0].cbData);
    }
  }
  CERT_INFO wanted = {};
  wanted.Issuer = counter->Issuer;
  wanted.SerialNumber = counter->SerialNumber;
  const UniqueCertificate certificate = CertificateNamed(store, wanted);
  reading.holds =
      !reading.time.empty() && certificate.IsValid() && !signer.empty() &&
      CryptMsgVerifyCountersignatureEncoded(
          0, kCryptEncoding, const_cast<BYTE*>(signer.data()), static_cast<DWORD>(signer.size()),
          countersignature.pbData, countersignature.cbData, certificate.Get()->pCertInfo);
  return reading;
}
