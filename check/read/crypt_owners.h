// Owners for what the platform's cryptography hands out (Windows build
// only): certificate stores, messages, certificates and the memory its
// decoders allocate, each released exactly once, as platform/owners.h does
// for handles and keys.
#pragma once

#include <windows.h>

#include <wincrypt.h>

#include "platform/owners.h"

struct CertStoreTraits {
  static HCERTSTORE Invalid() { return nullptr; }
  static bool IsValid(HCERTSTORE s) { return s != nullptr; }
  static void Close(HCERTSTORE s) { CertCloseStore(s, 0); }
};
struct CryptMessageTraits {
  static HCRYPTMSG Invalid() { return nullptr; }
  static bool IsValid(HCRYPTMSG m) { return m != nullptr; }
  static void Close(HCRYPTMSG m) { CryptMsgClose(m); }
};
struct CertificateTraits {
  static PCCERT_CONTEXT Invalid() { return nullptr; }
  static bool IsValid(PCCERT_CONTEXT c) { return c != nullptr; }
  static void Close(PCCERT_CONTEXT c) { CertFreeCertificateContext(c); }
};
// What CryptDecodeObjectEx allocates with CRYPT_DECODE_ALLOC_FLAG.
struct LocalMemoryTraits {
  static void* Invalid() { return nullptr; }
  static bool IsValid(void* p) { return p != nullptr; }
  static void Close(void* p) { LocalFree(p); }
};

using UniqueCertStore = UniqueResource<HCERTSTORE, CertStoreTraits>;
using UniqueCryptMessage = UniqueResource<HCRYPTMSG, CryptMessageTraits>;
using UniqueCertificate = UniqueResource<PCCERT_CONTEXT, CertificateTraits>;
using UniqueLocalMemory = UniqueResource<void*, LocalMemoryTraits>;
