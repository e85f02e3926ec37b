#include "platform/clock.h"

#include <ctime>

uint32_t readMillisecondClock() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t milliseconds = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(milliseconds);  // wraps modulo 2^32 like every reader expects
}
