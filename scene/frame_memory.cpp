#include "scene/frame_memory.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Well above what a frame allocates at full-HD (a few MiB of bins and
// vertices); free memory up to this much stays on the heap.
constexpr int heldBytes = 32 * 1024 * 1024;
// Blocks below this come from the heap and are reused; above it, mapped alone.
constexpr int mappedFrom = 4 * 1024 * 1024;

}  // namespace

void holdFrameMemory() {
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, heldBytes);
  mallopt(M_MMAP_THRESHOLD, mappedFrom);
#endif
}
