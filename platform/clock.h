// The millisecond clock: 32 bits, wrapping about every 49.7 days. Always
// take differences of two readings in unsigned 32-bit arithmetic.
#pragma once

#include <cstdint>

uint32_t readMillisecondClock();
