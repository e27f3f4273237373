// Stands in for the shell's start in the launcher's refused-prompt variant:
// the user declined the elevation prompt, and the shell reports the start as
// cancelled.
#include "start/start_calls.h"

bool ExecuteThroughShell(SHELLEXECUTEINFOW&) {
  SetLastError(ERROR_CANCELLED);
  return false;
}
