// The single-instance guard: a named semaphore whose existence is the lock.
#include "probes/instance_guard.h"

#include <windows.h>

GuardResult AcquireInstanceGuard(const char* name, UniqueHandle& guard) {
  HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, name);
  const DWORD lastError = GetLastError();
  if (semaphore == nullptr) return GuardResult::Failed;
  guard.Reset(semaphore);
  return lastError == ERROR_ALREADY_EXISTS ? GuardResult::AlreadyExists : GuardResult::Created;
}
