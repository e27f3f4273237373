// The certificate table as Microsoft's "Windows Authenticode Portable
// Executable Signature Format" lays it out: WIN_CERTIFICATE entries, the
// first PKCS #7 SignedData of revision 2.0 being the signature. Its content
// is an SpcIndirectDataContent (1.3.6.1.4.1.311.2.1.4) whose DigestInfo
// holds the file's digest; the signer signs that content's value without its
// outer tag and length. Unauthenticated attributes of the signer carry the
// time stamp (RFC 3161 token 1.3.6.1.4.1.311.3.3.1, or the older PKCS #9
// countersignature 1.2.840.113549.1.9.6) and nested signatures
// (1.3.6.1.4.1.311.2.4.1). Everything goes through OpenSSL's parsers, each
// given the length that is there.
#include "check/read/authenticode_signature.h"

#include <openssl/asn1.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/ts.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr std::uint16_t kRevision2 = 0x0200;
constexpr std::uint16_t kPkcsSignedData = 0x0002;
constexpr char kIndirectData[] = "1.3.6.1.4.1.311.2.1.4";
constexpr char kRfc3161TimeStamp[] = "1.3.6.1.4.1.311.3.3.1";
constexpr char kNestedSignature[] = "1.3.6.1.4.1.311.2.4.1";
// Nested signatures inside nested signatures: Windows adds them at the
// first level; deeper ones are counted no further.
constexpr int kMaxNesting = 2;
constexpr int kMaxSignatures = 16;
constexpr int kMaxEntries = 64;

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* value) const { Free(value); }
};
using Pkcs7 = std::unique_ptr<PKCS7, Deleter<PKCS7, PKCS7_free>>;
using Bio = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;
using DigestInfo = std::unique_ptr<X509_SIG, Deleter<X509_SIG, X509_SIG_free>>;
using TstInfo = std::unique_ptr<TS_TST_INFO, Deleter<TS_TST_INFO, TS_TST_INFO_free>>;
using SignerInfo =
    std::unique_ptr<PKCS7_SIGNER_INFO, Deleter<PKCS7_SIGNER_INFO, PKCS7_SIGNER_INFO_free>>;
using MdContext = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX, EVP_MD_CTX_free>>;
void FreeX509Stack(STACK_OF(X509) * stack) { sk_X509_free(stack); }
using Signers = std::unique_ptr<STACK_OF(X509), Deleter<STACK_OF(X509), FreeX509Stack>>;
void FreeBuffer(unsigned char* buffer) { OPENSSL_free(buffer); }
using Buffer = std::unique_ptr<unsigned char, Deleter<unsigned char, FreeBuffer>>;

std::uint32_t Little(const std::string& bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

bool IsOid(const ASN1_OBJECT* object, const char* oid) {
  char text[80];
  return object != nullptr && OBJ_obj2txt(text, sizeof text, object, 1) > 0 &&
         std::strcmp(text, oid) == 0;
}

std::string AlgorithmName(const ASN1_OBJECT* object) {
  switch (OBJ_obj2nid(object)) {
    case NID_sha1:
      return "SHA-1";
    case NID_sha256:
      return "SHA-256";
    case NID_sha384:
      return "SHA-384";
    case NID_sha512:
      return "SHA-512";
    case NID_md5:
      return "MD5";
    default:
      break;
  }
  char text[80] = "";
  if (object != nullptr) OBJ_obj2txt(text, sizeof text, object, 1);
  return text;
}

std::string Time(const ASN1_TIME* time) {
  struct tm parts {};
  if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) return "";
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return text;
}

// A name's common name, else the whole name on one line.
std::string CommonName(const X509_NAME* name) {
  if (name == nullptr) return "";
  const int index = X509_NAME_get_index_by_NID(name, NID_commonName, -1);
  if (index >= 0) {
    unsigned char* text = nullptr;
    const int size =
        ASN1_STRING_to_UTF8(&text, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index)));
    const Buffer owner(text);
    if (size >= 0)
      return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
  }
  char line[256] = "";
  X509_NAME_oneline(name, line, sizeof line);
  return line;
}

std::string Hash(int nid, const unsigned char* data, std::size_t size) {
  const EVP_MD* md = EVP_get_digestbynid(nid);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (md == nullptr || EVP_Digest(data, size, digest, &length, md, nullptr) != 1) return "";
  return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string Octets(const ASN1_STRING* octets) {
  if (octets == nullptr) return "";
  return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(octets)),
                     static_cast<std::size_t>(ASN1_STRING_length(octets)));
}

// The first PKCS #7 SignedData entry of the table, or null with `problem`
// set when there is none.
Pkcs7 FirstSignature(const std::string& table, std::string& problem) {
  std::size_t at = 0;
  for (int entries = 0; entries < kMaxEntries && at + 8 <= table.size(); ++entries) {
    const std::uint32_t length = Little(table, at, 4);
    if (length < 8 || length > table.size() - at) {
      problem = "a certificate table entry runs past the table's end";
      return nullptr;
    }
    if (Little(table, at + 4, 2) == kRevision2 && Little(table, at + 6, 2) == kPkcsSignedData) {
      const auto* der = reinterpret_cast<const unsigned char*>(table.data() + at + 8);
      Pkcs7 signature(d2i_PKCS7(nullptr, &der, static_cast<long>(length - 8)));
      if (signature == nullptr) problem = "its PKCS #7 signature cannot be parsed";
      return signature;
    }
    // Entries are aligned to 8 bytes.
    at += (std::size_t{length} + 7) / 8 * 8;
  }
  problem = "its certificate table holds no PKCS #7 signature";
  return nullptr;
}

// The SpcIndirectDataContent's value: the bytes the signer's messageDigest
// covers. Empty when the content is not one.
std::string IndirectDataValue(const PKCS7* signature) {
  if (PKCS7_type_is_signed(signature) == 0 || signature->d.sign == nullptr) return "";
  const PKCS7* content = signature->d.sign->contents;
  if (content == nullptr || !IsOid(content->type, kIndirectData) || content->d.other == nullptr ||
      content->d.other->type != V_ASN1_SEQUENCE) {
    return "";
  }
  const ASN1_STRING* sequence = content->d.other->value.sequence;
  const unsigned char* at = ASN1_STRING_get0_data(sequence);
  const long size = ASN1_STRING_length(sequence);
  long length = 0;
  int tag = 0, cls = 0;
  const unsigned char* inner = at;
  if ((ASN1_get_object(&inner, &length, &tag, &cls, size) & 0x80) != 0 || tag != V_ASN1_SEQUENCE ||
      length > size - (inner - at)) {
    return "";
  }
  return std::string(reinterpret_cast<const char*>(inner), static_cast<std::size_t>(length));
}

// The DigestInfo that follows SpcAttributeTypeAndOptionalValue.
DigestInfo ReadDigestInfo(const std::string& value) {
  const auto* at = reinterpret_cast<const unsigned char*>(value.data());
  const auto size = static_cast<long>(value.size());
  const unsigned char* next = at;
  long length = 0;
  int tag = 0, cls = 0;
  if ((ASN1_get_object(&next, &length, &tag, &cls, size) & 0x80) != 0 ||
      length > size - (next - at)) {
    return nullptr;
  }
  next += length;
  return DigestInfo(d2i_X509_SIG(nullptr, &next, size - (next - at)));
}

PKCS7_SIGNER_INFO* OnlySigner(PKCS7* signature) {
  STACK_OF(PKCS7_SIGNER_INFO)* signers = PKCS7_get_signer_info(signature);
  return signers != nullptr && sk_PKCS7_SIGNER_INFO_num(signers) == 1
             ? sk_PKCS7_SIGNER_INFO_value(signers, 0)
             : nullptr;
}

// The signature's digest algorithm, from its DigestInfo; NID_undef when
// it cannot be read.
int DigestAlgorithm(const PKCS7* signature, const ASN1_OBJECT** object = nullptr,
                    std::string* digest = nullptr) {
  const DigestInfo info = ReadDigestInfo(IndirectDataValue(signature));
  if (info == nullptr) return NID_undef;
  const X509_ALGOR* algorithm = nullptr;
  const ASN1_OCTET_STRING* octets = nullptr;
  X509_SIG_get0(info.get(), &algorithm, &octets);
  const ASN1_OBJECT* oid = nullptr;
  X509_ALGOR_get0(&oid, nullptr, nullptr, algorithm);
  if (object != nullptr) *object = oid;
  if (digest != nullptr) *digest = Octets(octets);
  return OBJ_obj2nid(oid);
}

// Calls `each` with every nested signature in the signer's unauthenticated
// attributes.
template <typename Each>
void ForEachNested(PKCS7_SIGNER_INFO* signer, Each each) {
  for (int i = 0; signer != nullptr && i < X509at_get_attr_count(signer->unauth_attr); ++i) {
    X509_ATTRIBUTE* attribute = X509at_get_attr(signer->unauth_attr, i);
    if (!IsOid(X509_ATTRIBUTE_get0_object(attribute), kNestedSignature)) continue;
    for (int v = 0; v < X509_ATTRIBUTE_count(attribute) && v < kMaxSignatures; ++v) {
      const ASN1_TYPE* value = X509_ATTRIBUTE_get0_type(attribute, v);
      if (value == nullptr || value->type != V_ASN1_SEQUENCE) continue;
      const unsigned char* der = ASN1_STRING_get0_data(value->value.sequence);
      Pkcs7 nested(d2i_PKCS7(nullptr, &der, ASN1_STRING_length(value->value.sequence)));
      if (nested != nullptr) each(nested.get());
    }
  }
}

// Whether the signer's signature holds over the content's value: its
// messageDigest attribute, then its signature over the attributes.
bool SignerSignatureHolds(PKCS7* signature, const std::string& value) {
  // PKCS7_verify loses its copy of the content when it cannot set up a
  // digest (OpenSSL 3.0): such a signature is refused before.
  const STACK_OF(X509_ALGOR)* algorithms = signature->d.sign->md_algs;
  for (int i = 0; i < sk_X509_ALGOR_num(algorithms); ++i) {
    if (EVP_get_digestbyobj(sk_X509_ALGOR_value(algorithms, i)->algorithm) == nullptr) return false;
  }
  Bio content(BIO_new_mem_buf(value.data(), static_cast<int>(value.size())));
  const bool holds = content != nullptr && PKCS7_verify(signature, nullptr, nullptr, content.get(),
                                                        nullptr, PKCS7_NOVERIFY) == 1;
  ERR_clear_error();
  return holds;
}

// The time stamp of an RFC 3161 token: it must be signed, and its imprint
// must be the digest of the signer's signature value.
void ReadRfc3161(const ASN1_TYPE* value, const PKCS7_SIGNER_INFO* signer, SignatureFacts& facts) {
  if (value == nullptr || value->type != V_ASN1_SEQUENCE) return;
  const unsigned char* der = ASN1_STRING_get0_data(value->value.sequence);
  Pkcs7 token(d2i_PKCS7(nullptr, &der, ASN1_STRING_length(value->value.sequence)));
  if (token == nullptr) return;
  const TstInfo info(PKCS7_to_TS_TST_INFO(token.get()));
  ERR_clear_error();
  if (info == nullptr) return;
  facts.timeStamp = TimeStampKind::Rfc3161;
  facts.timeStampTime = Time(TS_TST_INFO_get_time(info.get()));
  TS_MSG_IMPRINT* imprint = TS_TST_INFO_get_msg_imprint(info.get());
  const ASN1_OBJECT* algorithm = nullptr;
  X509_ALGOR_get0(&algorithm, nullptr, nullptr, TS_MSG_IMPRINT_get_algo(imprint));
  const std::string expected =
      Hash(OBJ_obj2nid(algorithm), ASN1_STRING_get0_data(signer->enc_digest),
           static_cast<std::size_t>(ASN1_STRING_length(signer->enc_digest)));
  const bool signedToken =
      PKCS7_verify(token.get(), nullptr, nullptr, nullptr, nullptr, PKCS7_NOVERIFY) == 1;
  ERR_clear_error();
  facts.timeStampVerified =
      signedToken && !expected.empty() && expected == Octets(TS_MSG_IMPRINT_get_msg(imprint));
}

// The older countersignature: a signer of its own over the signer's
// signature value, with its signing time.
void ReadCountersignature(const ASN1_TYPE* value, PKCS7* signature, const PKCS7_SIGNER_INFO* signer,
                          SignatureFacts& facts) {
  if (value == nullptr || value->type != V_ASN1_SEQUENCE) return;
  const unsigned char* der = ASN1_STRING_get0_data(value->value.sequence);
  const SignerInfo counter(
      d2i_PKCS7_SIGNER_INFO(nullptr, &der, ASN1_STRING_length(value->value.sequence)));
  if (counter == nullptr) return;
  facts.timeStamp = TimeStampKind::Countersignature;
  const ASN1_TYPE* signingTime = PKCS7_get_signed_attribute(counter.get(), NID_pkcs9_signingTime);
  if (signingTime != nullptr &&
      (signingTime->type == V_ASN1_UTCTIME || signingTime->type == V_ASN1_GENERALIZEDTIME)) {
    facts.timeStampTime = Time(signingTime->value.utctime);
  }
  const int nid = OBJ_obj2nid(counter->digest_alg->algorithm);
  const std::string expected =
      Hash(nid, ASN1_STRING_get0_data(signer->enc_digest),
           static_cast<std::size_t>(ASN1_STRING_length(signer->enc_digest)));
  const ASN1_OCTET_STRING* stated = PKCS7_digest_from_attributes(counter->auth_attr);
  X509* certificate = counter->issuer_and_serial == nullptr
                          ? nullptr
                          : X509_find_by_issuer_and_serial(signature->d.sign->cert,
                                                           counter->issuer_and_serial->issuer,
                                                           counter->issuer_and_serial->serial);
  if (expected.empty() || stated == nullptr || expected != Octets(stated) ||
      certificate == nullptr) {
    return;
  }
  // Its signature is over the DER of its authenticated attributes.
  unsigned char* attributes = nullptr;
  const int size = ASN1_item_i2d(reinterpret_cast<ASN1_VALUE*>(counter->auth_attr), &attributes,
                                 ASN1_ITEM_rptr(PKCS7_ATTR_VERIFY));
  const Buffer owner(attributes);
  const MdContext context(EVP_MD_CTX_new());
  facts.timeStampVerified =
      size > 0 && context != nullptr &&
      EVP_DigestVerifyInit(context.get(), nullptr, EVP_get_digestbynid(nid), nullptr,
                           X509_get0_pubkey(certificate)) == 1 &&
      EVP_DigestVerify(context.get(), ASN1_STRING_get0_data(counter->enc_digest),
                       static_cast<std::size_t>(ASN1_STRING_length(counter->enc_digest)),
                       attributes, static_cast<std::size_t>(size)) == 1;
  ERR_clear_error();
}

void ReadTimeStamp(PKCS7* signature, const PKCS7_SIGNER_INFO* signer, SignatureFacts& facts) {
  for (int i = 0; i < X509at_get_attr_count(signer->unauth_attr); ++i) {
    X509_ATTRIBUTE* attribute = X509at_get_attr(signer->unauth_attr, i);
    const ASN1_OBJECT* type = X509_ATTRIBUTE_get0_object(attribute);
    if (IsOid(type, kRfc3161TimeStamp)) {
      ReadRfc3161(X509_ATTRIBUTE_get0_type(attribute, 0), signer, facts);
    } else if (OBJ_obj2nid(type) == NID_pkcs9_countersignature) {
      ReadCountersignature(X509_ATTRIBUTE_get0_type(attribute, 0), signature, signer, facts);
    }
    if (facts.timeStamp != TimeStampKind::None) return;
  }
}

void CountNested(PKCS7* signature, int depth, SignatureFacts& facts) {
  ForEachNested(OnlySigner(signature), [&](PKCS7* nested) {
    if (facts.signatures >= kMaxSignatures) return;
    ++facts.signatures;
    const ASN1_OBJECT* algorithm = nullptr;
    if (DigestAlgorithm(nested, &algorithm) != NID_undef) {
      facts.nestedDigestAlgorithms.push_back(AlgorithmName(algorithm));
    }
    if (depth < kMaxNesting) CountNested(nested, depth + 1, facts);
  });
}

void CollectAlgorithms(PKCS7* signature, int depth, std::vector<int>& algorithms) {
  const int nid = DigestAlgorithm(signature);
  if (nid != NID_undef &&
      std::find(algorithms.begin(), algorithms.end(), nid) == algorithms.end()) {
    algorithms.push_back(nid);
  }
  if (depth >= kMaxNesting) return;
  ForEachNested(OnlySigner(signature),
                [&](PKCS7* nested) { CollectAlgorithms(nested, depth + 1, algorithms); });
}

}  // namespace

struct SignatureTable::Parsed {
  Pkcs7 signature;
  std::string problem;  // why there is no signature
};

SignatureTable::SignatureTable(const std::string& table) : parsed_(std::make_unique<Parsed>()) {
  parsed_->signature = FirstSignature(table, parsed_->problem);
  ERR_clear_error();
}

SignatureTable::~SignatureTable() = default;

std::vector<int> SignatureTable::DigestAlgorithms() const {
  std::vector<int> algorithms;
  if (parsed_->signature != nullptr) CollectAlgorithms(parsed_->signature.get(), 0, algorithms);
  ERR_clear_error();
  return algorithms;
}

SignatureFacts SignatureTable::Facts(const std::map<int, std::string>& digests) const {
  SignatureFacts facts;
  facts.problem = parsed_->problem;
  const Pkcs7& signature = parsed_->signature;
  if (signature == nullptr) return facts;
  facts.embedded = true;
  facts.signatures = 1;
  const std::string value = IndirectDataValue(signature.get());
  PKCS7_SIGNER_INFO* signer = OnlySigner(signature.get());
  const ASN1_OBJECT* algorithm = nullptr;
  std::string signedDigest;
  const int nid = DigestAlgorithm(signature.get(), &algorithm, &signedDigest);
  if (value.empty() || signer == nullptr || nid == NID_undef) {
    facts.problem = value.empty() ? "its signature does not sign a program's digest (no "
                                    "SpcIndirectDataContent)"
                                  : "its signature has no single signer or no readable digest";
    return facts;
  }
  facts.digestAlgorithm = AlgorithmName(algorithm);
  const auto digest = digests.find(nid);
  facts.intact = digest != digests.end() && !signedDigest.empty() && digest->second == signedDigest;
  if (digest == digests.end()) facts.problem = "its digest algorithm is not one this checker knows";
  facts.verified = SignerSignatureHolds(signature.get(), value);
  if (!facts.verified && facts.problem.empty()) {
    facts.problem = "the signer's signature over the program's digest does not hold";
  }
  const Signers certificates(PKCS7_get0_signers(signature.get(), nullptr, 0));
  ERR_clear_error();
  if (certificates != nullptr && sk_X509_num(certificates.get()) > 0) {
    const X509* certificate = sk_X509_value(certificates.get(), 0);
    facts.signer = CommonName(X509_get_subject_name(certificate));
    facts.issuer = CommonName(X509_get_issuer_name(certificate));
    facts.validFrom = Time(X509_get0_notBefore(certificate));
    facts.validTo = Time(X509_get0_notAfter(certificate));
  } else if (facts.problem.empty()) {
    facts.problem = "the signature does not hold its signer's certificate";
  }
  ReadTimeStamp(signature.get(), signer, facts);
  CountNested(signature.get(), 0, facts);
  ERR_clear_error();
  return facts;
}
