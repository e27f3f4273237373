// Stands in for the shell link object in the launcher's resolution variant:
// the real object, whose Resolve behaves as Windows documents it. Windows
// searches for a target that names nothing and then fails
// (IShellLink::Resolve: "Otherwise, it returns an HRESULT error code"); Wine's
// Resolve always succeeds. Everything else is the real object's.
//
// Built with AUTORUN_RESOLVE_GIVES_LOADED_TARGET (autorun_x86_resolution.exe),
// a resolution that succeeds then hands back the target the link named as
// loaded, whatever was set since: as Windows' may from the folder blocks of a
// link read as the shell reads it, which give a 32-bit reader the "(x86)"
// view again. Wine's keeps what was set.
//
// It runs inside a launcher without the C++ run-time: one object, made
// without the heap, serves the launcher's single resolution.
#include <objbase.h>
#include <shlguid.h>

#include "platform/system_library.h"
#include "probes/shell_link_object.h"

namespace {

// Compared byte by byte: the C library's comparison is not linked here.
bool SameId(REFIID a, REFIID b) {
  const auto* left = reinterpret_cast<const unsigned char*>(&a);
  const auto* right = reinterpret_cast<const unsigned char*>(&b);
  for (unsigned i = 0; i < sizeof(IID); ++i) {
    if (left[i] != right[i]) return false;
  }
  return true;
}

// A component object ends through Release, never through its destructor,
// which the interfaces therefore do not make virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class WindowsResolution final : public IShellLinkW {
 public:
  constexpr WindowsResolution() = default;
  void Wrap(IShellLinkW* real) { real_ = real; }

  // The link's other interfaces are the real object's: the launcher loads
  // the file through them into that object.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (SameId(id, IID_IUnknown) || SameId(id, IID_IShellLinkW)) {
      *object = this;
      AddRef();
      return S_OK;
    }
    return real_->QueryInterface(id, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return real_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return real_->Release(); }

  HRESULT STDMETHODCALLTYPE Resolve(HWND window, DWORD flags) override {
    wchar_t target[MAX_PATH] = {};
    WIN32_FIND_DATAW found;
    real_->GetPath(target, MAX_PATH, &found, SLGP_UNCPRIORITY);
    if (GetFileAttributesW(target) == INVALID_FILE_ATTRIBUTES) {
      return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    const HRESULT resolved = real_->Resolve(window, flags);
#ifdef AUTORUN_RESOLVE_GIVES_LOADED_TARGET
    if (SUCCEEDED(resolved) && loaded_[0] != 0) real_->SetPath(loaded_);
#endif
    return resolved;
  }

  HRESULT STDMETHODCALLTYPE GetPath(LPWSTR file, int size, WIN32_FIND_DATAW* found,
                                    DWORD flags) override {
    const HRESULT result = real_->GetPath(file, size, found, flags);
    // The first target read is the one the link was loaded with.
    if (loaded_[0] == 0 && file != nullptr && size > 0) lstrcpynW(loaded_, file, MAX_PATH);
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE* list) override {
    return real_->GetIDList(list);
  }
  HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE list) override {
    return real_->SetIDList(list);
  }
  HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR name, int size) override {
    return real_->GetDescription(name, size);
  }
  HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR name) override {
    return real_->SetDescription(name);
  }
  HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR directory, int size) override {
    return real_->GetWorkingDirectory(directory, size);
  }
  HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR directory) override {
    return real_->SetWorkingDirectory(directory);
  }
  HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR arguments, int size) override {
    return real_->GetArguments(arguments, size);
  }
  HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR arguments) override {
    return real_->SetArguments(arguments);
  }
  HRESULT STDMETHODCALLTYPE GetHotkey(WORD* hotkey) override { return real_->GetHotkey(hotkey); }
  HRESULT STDMETHODCALLTYPE SetHotkey(WORD hotkey) override { return real_->SetHotkey(hotkey); }
  HRESULT STDMETHODCALLTYPE GetShowCmd(int* show) override { return real_->GetShowCmd(show); }
  HRESULT STDMETHODCALLTYPE SetShowCmd(int show) override { return real_->SetShowCmd(show); }
  HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR path, int size, int* index) override {
    return real_->GetIconLocation(path, size, index);
  }
  HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR path, int index) override {
    return real_->SetIconLocation(path, index);
  }
  HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR path, DWORD reserved) override {
    return real_->SetRelativePath(path, reserved);
  }
  HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR file) override { return real_->SetPath(file); }

 private:
  IShellLinkW* real_ = nullptr;
  wchar_t loaded_[MAX_PATH] = {};
};
#pragma GCC diagnostic pop

WindowsResolution theLink;

}  // namespace

IShellLinkW* CreateShellLink() {
  const auto createInstance =
      SystemFunction<decltype(&CoCreateInstance)>("OLE32.DLL", "CoCreateInstance");
  IShellLinkW* real = nullptr;
  if (createInstance == nullptr ||
      FAILED(createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            reinterpret_cast<void**>(&real)))) {
    return nullptr;
  }
  theLink.Wrap(real);
  return &theLink;
}
