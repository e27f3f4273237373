// Smart App Control's state on this machine (Windows build only), read from
// the registry where Windows keeps it.
#pragma once

#include "check/flows/start_prediction.h"

struct SmartAppControl {
  SmartAppControlState state = SmartAppControlState::NotOnThisWindows;
  unsigned long value = 0;  // the value read, when there is one
  const char* view = "";    // the registry view it was read from, for the explanation
};

SmartAppControl ReadSmartAppControl();
