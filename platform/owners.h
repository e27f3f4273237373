// Move-only owners for the operating-system resources the launcher opens:
// each closes its resource exactly once and keeps the last-error value intact.
#pragma once

#include <windows.h>

#include <objbase.h>

template <typename T, typename Traits>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(T value) : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueResource() { Reset(); }

  bool IsValid() const { return Traits::IsValid(value_); }
  T Get() const { return value_; }
  T Release() {
    T value = value_;
    value_ = Traits::Invalid();
    return value;
  }
  void Reset(T value = Traits::Invalid()) {
    if (Traits::IsValid(value_)) {
      const DWORD lastError = GetLastError();
      Traits::Close(value_);
      SetLastError(lastError);
    }
    value_ = value;
  }

 private:
  T value_ = Traits::Invalid();
};

struct KernelHandleTraits {  // null means none
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {  // INVALID_HANDLE_VALUE means none
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct RegKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static bool IsValid(HKEY k) { return k != nullptr; }
  static void Close(HKEY k) { RegCloseKey(k); }
};
struct LibraryTraits {
  static HMODULE Invalid() { return nullptr; }
  static bool IsValid(HMODULE m) { return m != nullptr; }
  static void Close(HMODULE m) { FreeLibrary(m); }
};
template <typename Interface>
struct ComTraits {
  static Interface* Invalid() { return nullptr; }
  static bool IsValid(Interface* p) { return p != nullptr; }
  static void Close(Interface* p) { p->Release(); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueResource<HANDLE, FileHandleTraits>;
using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;
using UniqueLibrary = UniqueResource<HMODULE, LibraryTraits>;
template <typename Interface>
using ComPtr = UniqueResource<Interface*, ComTraits<Interface>>;
