// What the benchmark programs share: the names by which the driver holds and
// releases the stand-in programs, a high-resolution clock and the median.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>

// A held stand-in adds one to this semaphore once it runs, then waits for
// the event; without the event it ends at once.
constexpr char kStartedSemaphore[] = "AutorunBench_Started";
constexpr char kReleaseEvent[] = "AutorunBench_Release";

// Milliseconds since an arbitrary start, from the performance counter.
inline double NowMs() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The median of the first `count` values; reorders them.
inline double Median(double* values, std::size_t count) {
  if (count == 0) return 0.0;
  std::sort(values, values + count);
  const std::size_t middle = count / 2;
  return count % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// The handles that a benchmark uses to hold stand-ins running: created by
// the driver before the stand-ins start, closed when it goes.
class HoldHandles {
 public:
  HoldHandles()
      : started_(CreateSemaphoreA(nullptr, 0, 0x7fffffff, kStartedSemaphore)),
        release_(CreateEventA(nullptr, TRUE, FALSE, kReleaseEvent)) {}
  HoldHandles(const HoldHandles&) = delete;
  HoldHandles& operator=(const HoldHandles&) = delete;
  ~HoldHandles() {
    Release();
    CloseHandle(started_);
    CloseHandle(release_);
  }
  bool IsValid() const { return started_ != nullptr && release_ != nullptr; }
  // Waits until one more stand-in reports that it runs.
  bool WaitStarted(DWORD timeoutMs) {
    return WaitForSingleObject(started_, timeoutMs) == WAIT_OBJECT_0;
  }
  void Release() { SetEvent(release_); }
  void Hold() { ResetEvent(release_); }

 private:
  HANDLE started_;
  HANDLE release_;
};
