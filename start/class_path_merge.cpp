// The class-path merge: the user's stored CLASSPATH joins the launcher's own,
// in UTF-16 throughout, so that no entry passes through the ANSI code page.
#include <windows.h>

#include <cstring>

#include "platform/owners.h"
#include "start/program_start.h"

namespace {

constexpr wchar_t kVariable[] = L"CLASSPATH";

// The user's stored class path, terminated; false when there is none or it
// does not fit a variable. A value of a text type is taken as the registry
// holds it, in UTF-16; the bytes of any other type are text of the ANSI code
// page, as they always were.
bool ReadStoredClassPath(ClassPathFacts& facts) {
  EnvironmentText& stored = facts.stored;
  stored.Clear();
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Environment", 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegKey key(opened);
  // The whole area, terminator's place included: a value of the full 32,766
  // characters is stored with its terminator.
  DWORD& type = facts.storedType;
  DWORD& size = facts.storedSize;
  type = REG_NONE;
  size = EnvironmentText::kAreaSize * sizeof(wchar_t);
  if (RegQueryValueExW(key.Get(), kVariable, nullptr, &type, reinterpret_cast<BYTE*>(stored.Area()),
                       &size) != ERROR_SUCCESS) {
    stored.Clear();
    return false;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
    if (size > EnvironmentText::kCapacity) {  // more characters than a variable holds
      stored.Clear();
      return false;
    }
    FixedText<EnvironmentText::kCapacity> bytes;
    std::memcpy(bytes.Area(), stored.Area(), size);
    bytes.Area()[size] = '\0';
    // Never longer in UTF-16 than in bytes, so it always fits.
    MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), -1, stored.Area(), EnvironmentText::kAreaSize);
    return true;
  }
  // Text stored without a terminator gets one, unless it fills the area: it
  // is then a character longer than a variable holds.
  const DWORD units = size / sizeof(wchar_t);
  if (units < EnvironmentText::kAreaSize) {
    stored.Area()[units] = 0;
  } else if (stored.Area()[EnvironmentText::kCapacity] != 0) {
    stored.Clear();
    return false;
  }
  return true;
}

}  // namespace

bool MergedClassPath(EnvironmentText& joined, ClassPathFacts& facts) {
  if (!(facts.storedRead = ReadStoredClassPath(facts))) return false;

  EnvironmentText& current = facts.current;
  const DWORD length =
      GetEnvironmentVariableW(kVariable, current.Area(), EnvironmentText::kAreaSize);
  if (length > EnvironmentText::kCapacity) return false;  // cannot be read whole
  if (length == 0) current.Clear();
  return JoinClassPath(current.c_str(), facts.stored.c_str(), joined);
}

void MergeClassPath() {
  ClassPathFacts ignored;
  EnvironmentText joined;
  if (MergedClassPath(joined, ignored)) SetEnvironmentVariableW(kVariable, joined.c_str());
}
