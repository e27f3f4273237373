// The single-instance guard.
#pragma once

#include "launcher/launcher_operations.h"
#include "platform/owners.h"

// Creates the named single-instance semaphore; `guard` keeps it while held.
GuardResult AcquireInstanceGuard(const char* name, UniqueHandle& guard);
