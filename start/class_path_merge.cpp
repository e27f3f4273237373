// The class-path merge: the user's stored CLASSPATH joins the launcher's own.
#include <windows.h>

#include "platform/owners.h"
#include "start/program_start.h"

namespace {

constexpr char kVariable[] = "CLASSPATH";

// The user's stored class path, terminated; false when there is none or it
// does not fit a variable.
bool ReadStoredClassPath(EnvironmentText& stored) {
  stored.Clear();
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Environment", 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegKey key(opened);
  // One byte is kept back so that data stored without a terminator gets one.
  DWORD size = EnvironmentText::kCapacity;
  if (RegQueryValueExA(key.Get(), kVariable, nullptr, nullptr,
                       reinterpret_cast<BYTE*>(stored.Area()), &size) != ERROR_SUCCESS) {
    stored.Clear();
    return false;
  }
  stored.Area()[size] = '\0';
  return true;
}

}  // namespace

void MergeClassPath() {
  EnvironmentText stored;
  if (!ReadStoredClassPath(stored)) return;

  EnvironmentText current;
  const DWORD length =
      GetEnvironmentVariableA(kVariable, current.Area(), EnvironmentText::kAreaSize);
  if (length > EnvironmentText::kCapacity) return;  // cannot be read whole
  if (length == 0) current.Clear();

  EnvironmentText joined;
  if (JoinClassPath(current.c_str(), stored.c_str(), joined)) {
    SetEnvironmentVariableA(kVariable, joined.c_str());
  }
}
