// Small helpers over the platform's cryptography for the signature readers
// (Windows build only): a message's parameter, a decoded structure with its
// owner, a time as the checker prints it, and a signer's message digest
// held to the content it signed.
#pragma once

#include <windows.h>

#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "check/read/crypt_owners.h"

constexpr DWORD kCryptEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

// A parameter of a message, sized first; empty when it is missing.
inline std::vector<BYTE> MessageParameter(HCRYPTMSG message, DWORD parameter, DWORD index) {
  DWORD size = 0;
  if (!CryptMsgGetParam(message, parameter, index, nullptr, &size) || size == 0) return {};
  std::vector<BYTE> bytes(size);
  if (!CryptMsgGetParam(message, parameter, index, bytes.data(), &size)) return {};
  bytes.resize(size);
  return bytes;
}

// `data` decoded as `type` into memory that `owner` frees; null when it is
// not one.
template <typename Structure>
const Structure* Decoded(UniqueLocalMemory& owner, LPCSTR type, const BYTE* data, DWORD size) {
  void* decoded = nullptr;
  DWORD decodedSize = 0;
  if (!CryptDecodeObjectEx(kCryptEncoding, type, data, size, CRYPT_DECODE_ALLOC_FLAG, nullptr,
                           &decoded, &decodedSize)) {
    return nullptr;
  }
  owner.Reset(decoded);
  return static_cast<const Structure*>(decoded);
}

// UTC, "YYYY-MM-DD hh:mm:ss"; empty when it is no time.
inline std::string TimeText(const FILETIME& time) {
  SYSTEMTIME utc;
  if (!FileTimeToSystemTime(&time, &utc)) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", utc.wYear, utc.wMonth, utc.wDay,
                utc.wHour, utc.wMinute, utc.wSecond);
  return text;
}

// An encoded UTCTime or GeneralizedTime, as TimeText gives it.
inline std::string DecodedTime(const BYTE* data, DWORD size) {
  FILETIME time = {};
  DWORD timeSize = sizeof time;
  if (!CryptDecodeObjectEx(kCryptEncoding, X509_CHOICE_OF_TIME, data, size, 0, nullptr, &time,
                           &timeSize)) {
    return "";
  }
  return TimeText(time);
}

// The digest of `data` with the algorithm whose digests are `size` bytes
// long (the imprint names it; its length tells it among those Windows
// uses); empty for another length.
inline std::vector<BYTE> DigestOfSize(const CRYPT_DATA_BLOB& data, DWORD size) {
  const wchar_t* algorithm = size == 20   ? L"SHA1"
                             : size == 32 ? L"SHA256"
                             : size == 48 ? L"SHA384"
                             : size == 64 ? L"SHA512"
                                          : nullptr;
  std::vector<BYTE> digest(size);
  DWORD digestSize = size;
  if (algorithm == nullptr || !CryptHashCertificate2(algorithm, 0, nullptr, data.pbData,
                                                     data.cbData, digest.data(), &digestSize)) {
    return {};
  }
  digest.resize(digestSize);
  return digest;
}

// Whether the first signer's signed message-digest attribute is the digest
// of `content` (the signed content's octets). Windows checks this when it
// verifies a signer; Wine's CryptMsgControl does not, so the readers check
// it themselves, on both.
inline bool SignedDigestMatches(HCRYPTMSG message, const BYTE* content, std::size_t size) {
  const std::vector<BYTE> bytes = MessageParameter(message, CMSG_SIGNER_INFO_PARAM, 0);
  if (bytes.size() < sizeof(CMSG_SIGNER_INFO)) return false;
  const auto& signer = *reinterpret_cast<const CMSG_SIGNER_INFO*>(bytes.data());
  for (DWORD i = 0; i < signer.AuthAttrs.cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = signer.AuthAttrs.rgAttr[i];
    if (std::strcmp(attribute.pszObjId, szOID_PKCS_9_MESSAGE_DIGEST) != 0 ||
        attribute.cValue != 1) {
      continue;
    }
    UniqueLocalMemory owner;
    const auto* digest = Decoded<CRYPT_DATA_BLOB>(
        owner, X509_OCTET_STRING, attribute.rgValue[0].pbData, attribute.rgValue[0].cbData);
    const CRYPT_DATA_BLOB signedContent = {static_cast<DWORD>(size), const_cast<BYTE*>(content)};
    const std::vector<BYTE> computed =
        digest == nullptr ? std::vector<BYTE>() : DigestOfSize(signedContent, digest->cbData);
    return !computed.empty() && std::memcmp(computed.data(), digest->pbData, digest->cbData) == 0;
  }
  return false;
}
