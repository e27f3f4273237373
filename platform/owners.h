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

// Kernel objects and files alike: some functions answer "none" with null,
// others with INVALID_HANDLE_VALUE; neither value is closed.
struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
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
struct ComTraits {  // every interface is released through IUnknown
  static IUnknown* Invalid() { return nullptr; }
  static bool IsValid(IUnknown* p) { return p != nullptr; }
  static void Close(IUnknown* p) { p->Release(); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueHandle;
using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;
using UniqueLibrary = UniqueResource<HMODULE, LibraryTraits>;
// One owner for every interface, so the release's code is shared.
template <typename Interface>
class ComPtr : public UniqueResource<IUnknown*, ComTraits> {
 public:
  explicit ComPtr(Interface* object) : UniqueResource(object) {}
  Interface* Get() const { return static_cast<Interface*>(UniqueResource::Get()); }
};
