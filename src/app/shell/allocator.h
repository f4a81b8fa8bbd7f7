#pragma once
// How the window program sets up the C allocator; the memory benchmarks set it up the same way,
// so what they measure is what the program keeps.

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tessaron::app {

inline constexpr int kImageBufferThreshold = 256 * 1024;
// The program tunes the allocator this long after its start: the first paint decodes and
// composes several window-sized images, and the allocator's own rule (a freed large buffer
// raises the threshold, so the next ones reuse heap memory) saves it a map, a zero fill and an
// unmap of each. What the start leaves free in the heap is given back when the allocator is
// tuned.
inline constexpr int kTuneAllocatorAfterStartMs = 2000;

inline void tuneAllocator() {
#if defined(__GLIBC__)
    // Window-sized images pass through (decoded backgrounds, composed faces). A fixed threshold
    // keeps their buffers out of the heap, so each one goes back to the system when freed
    // instead of staying resident for as long as the program runs.
    mallopt(M_MMAP_THRESHOLD, kImageBufferThreshold);
    // What the start left free in the heap goes back to the system now.
    malloc_trim(0);
#endif
}

}  // namespace tessaron::app
