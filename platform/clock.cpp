#include "platform/clock.h"

#include <ctime>

namespace {

uint64_t readMonotonicMilliseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace

#ifdef ORRELIA_CLOCK_NEAR_WRAP
// A test build: the clock reads 2^32 - 10,000 at the first reading, so every
// program crosses the wrap ten seconds into its run.
uint32_t readMillisecondClock() {
  static const uint64_t firstReading = readMonotonicMilliseconds();
  constexpr uint32_t startBelowWrap = 10000;
  return static_cast<uint32_t>(readMonotonicMilliseconds() - firstReading) - startBelowWrap;
}
#else
uint32_t readMillisecondClock() {
  return static_cast<uint32_t>(readMonotonicMilliseconds());  // wraps modulo 2^32 like every reader expects
}
#endif
