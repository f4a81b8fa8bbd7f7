#pragma once
// How the window program sets up the C allocator; the memory benchmarks set it up the same way,
// so what they measure is what the program keeps.

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tessaron::app {

inline constexpr int kImageBufferThreshold = 256 * 1024;

inline void tuneAllocator() {
#if defined(__GLIBC__)
    // Window-sized images pass through (decoded backgrounds, composed faces). A fixed threshold
    // keeps their buffers out of the heap, so each one goes back to the system when freed
    // instead of staying resident for as long as the program runs.
    mallopt(M_MMAP_THRESHOLD, kImageBufferThreshold);
#endif
}

}  // namespace tessaron::app
