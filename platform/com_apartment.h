// The calling thread's membership of a single-threaded apartment of the
// component library, for as long as the owner lives.
#pragma once

#include <windows.h>

// Enters the apartment on construction (the component library is loaded
// from the system directory on first use) and leaves it on destruction, so
// that the thread holds none while the launcher waits for a program: a
// thread in an apartment that waits without dispatching messages blocks
// every program that broadcasts to windows (WaitForSingleObject's remarks).
// A failed entry is not balanced by a leave.
class ComApartment {
 public:
  explicit ComApartment(DWORD flags);
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment();

  bool Entered() const { return entered_; }

 private:
  bool entered_ = false;
};
