// Registry keys and values made or changed for a test, and taken away again.
#include "tests/support/registry_scope.h"

#include <cstring>

namespace {

// The outermost key on the way to `path` that does not exist yet; empty when
// all do.
std::string FirstMissingKey(HKEY root, const std::string& path, REGSAM view) {
  for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
    const std::string key = path.substr(0, end);
    HKEY existing = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &existing) != ERROR_SUCCESS) {
      return key;
    }
    RegCloseKey(existing);
    if (end == std::string::npos) return "";
  }
}

HKEY CreateKey(HKEY root, const std::string& path, REGSAM view) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

}  // namespace

RegistryKeyScope::RegistryKeyScope(HKEY root, const std::string& path, REGSAM view)
    : root_(root),
      view_(view),
      created_(FirstMissingKey(root, path, view)),
      key_(CreateKey(root, path, view)) {}

RegistryKeyScope::~RegistryKeyScope() {
  if (key_ != nullptr) RegCloseKey(key_);
  if (created_.empty()) return;
  HKEY top = nullptr;
  if (RegOpenKeyExA(root_, created_.c_str(), 0, KEY_ALL_ACCESS | view_, &top) == ERROR_SUCCESS) {
    RegDeleteTreeA(top, nullptr);
    RegCloseKey(top);
  }
  RegDeleteKeyExA(root_, created_.c_str(), view_, 0);
}

bool RegistryKeyScope::SetValue(const char* name, DWORD type, const std::string& data) {
  return key_ != nullptr &&
         RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

RegistryValueScope::RegistryValueScope(HKEY root, const std::string& path, const char* name,
                                       REGSAM view)
    : root_(root),
      view_(view),
      path_(path),
      name_(name),
      created_(FirstMissingKey(root, path, view)),
      key_(CreateKey(root, path, view)) {
  if (key_ == nullptr) return;
  // Saved and put back in UTF-16, as stored: nothing of a text is lost.
  const std::wstring wideName(name_.begin(), name_.end());
  DWORD size = 0;
  had_ = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
  data_.resize(size);
  if (had_ && size > 0) {
    RegQueryValueExW(key_, wideName.c_str(), nullptr, &type_, reinterpret_cast<BYTE*>(&data_[0]),
                     &size);
    data_.resize(size);
  }
}

RegistryValueScope::~RegistryValueScope() {
  if (key_ == nullptr) return;
  if (had_) {
    RegSetValueExW(key_, std::wstring(name_.begin(), name_.end()).c_str(), 0, type_,
                   reinterpret_cast<const BYTE*>(data_.data()), static_cast<DWORD>(data_.size()));
  } else {
    Set(type_, nullptr);
  }
  RegCloseKey(key_);
  if (created_.empty()) return;
  // Innermost first; a key that holds something else by now stays.
  for (std::string key = path_;; key.resize(key.rfind('\\'))) {
    if (RegDeleteKeyExA(root_, key.c_str(), view_, 0) != ERROR_SUCCESS) break;
    if (key == created_) break;
  }
}

bool RegistryValueScope::Set(DWORD type, const std::string* data) {
  if (key_ == nullptr) return false;
  if (data == nullptr) {
    const LONG result = RegDeleteValueA(key_, name_.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
  }
  return RegSetValueExA(key_, name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(data->data()),
                        static_cast<DWORD>(data->size())) == ERROR_SUCCESS;
}

bool RegistryValueScope::SetWide(DWORD type, const std::wstring& text) {
  return key_ != nullptr &&
         RegSetValueExW(key_, std::wstring(name_.begin(), name_.end()).c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryValueScope::SetText(const char* text) {
  if (text == nullptr) return Set(REG_SZ, nullptr);
  const std::string data(text, std::strlen(text) + 1);
  return Set(REG_SZ, &data);
}
