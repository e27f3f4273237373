// The digest Microsoft's "Windows Authenticode Portable Executable Signature
// Format" defines: the file's bytes in order, leaving out the optional
// header's CheckSum, the certificate table's data directory entry and the
// certificate table itself, which ends a signed file. The format states it
// section by section (the headers, the sections sorted by their file
// offset, then what follows them); for a file whose sections follow its
// headers in order, as linkers write them, that is the file's bytes up to
// the table, which is what is hashed here, so that it can be done while the
// file streams by.
#include "check/read/authenticode_digest.h"

#include <openssl/evp.h>

#include <algorithm>

struct AuthenticodeDigest::Context {
  int nid = 0;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(),
                                                                  EVP_MD_CTX_free};
};

AuthenticodeDigest::AuthenticodeDigest(const ProgramLayout& layout,
                                       const std::vector<int>& algorithms)
    : layout_(layout) {
  for (const int nid : algorithms) {
    const EVP_MD* md = EVP_get_digestbynid(nid);
    if (md == nullptr) continue;
    auto context = std::make_unique<Context>();
    context->nid = nid;
    if (context->context == nullptr ||
        EVP_DigestInit_ex(context->context.get(), md, nullptr) != 1) {
      continue;
    }
    contexts_.push_back(std::move(context));
  }
}

AuthenticodeDigest::~AuthenticodeDigest() = default;

void AuthenticodeDigest::Hash(const char* data, std::size_t size) {
  if (size == 0) return;
  for (const auto& context : contexts_) EVP_DigestUpdate(context->context.get(), data, size);
}

void AuthenticodeDigest::Feed(std::uint64_t offset, const char* data, std::size_t size) {
  // The ranges left out, in file order; the table runs to the file's end.
  const std::uint64_t skipped[][2] = {
      {layout_.checksumAt, layout_.checksumAt + 4},
      {layout_.certificateEntryAt,
       layout_.certificateEntryAt + (layout_.hasCertificateEntry ? 8 : 0)},
      {layout_.tableAt, UINT64_MAX},
  };
  const std::uint64_t end = offset + size;
  std::uint64_t at = offset;
  for (const auto& range : skipped) {
    if (range[1] <= at || range[0] >= end) continue;
    if (range[0] > at) Hash(data + (at - offset), static_cast<std::size_t>(range[0] - at));
    at = std::min(end, range[1]);
  }
  if (at < end) Hash(data + (at - offset), static_cast<std::size_t>(end - at));
}

std::map<int, std::string> AuthenticodeDigest::Finish() {
  std::map<int, std::string> digests;
  for (const auto& context : contexts_) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(context->context.get(), digest, &size) != 1) continue;
    digests[context->nid] = std::string(reinterpret_cast<const char*>(digest), size);
  }
  return digests;
}
