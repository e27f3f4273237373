// The Authenticode digest of a PE file, computed while the file streams by
// in order, in as many algorithms at once as asked (host build: OpenSSL).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "check/read/program_identity.h"

class AuthenticodeDigest {
 public:
  // `algorithms`: OpenSSL NIDs (NID_sha256, ...); unknown ones are skipped.
  AuthenticodeDigest(const ProgramLayout& layout, const std::vector<int>& algorithms);
  ~AuthenticodeDigest();
  AuthenticodeDigest(const AuthenticodeDigest&) = delete;
  AuthenticodeDigest& operator=(const AuthenticodeDigest&) = delete;

  // The file's next bytes, which begin at `offset`: chunks come in order.
  void Feed(std::uint64_t offset, const char* data, std::size_t size);
  // The digests by NID, once every byte before the table was fed.
  std::map<int, std::string> Finish();

 private:
  void Hash(const char* data, std::size_t size);

  ProgramLayout layout_;
  struct Context;
  std::vector<std::unique_ptr<Context>> contexts_;
};
