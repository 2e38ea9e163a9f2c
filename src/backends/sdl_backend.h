// sdl_backend.h - what tests and benchmarks may observe of the SDL back-end's
// window thread.
//
// The thread counts the frames it presents and times each of its cycles,
// from just before it takes the lock to the end of the present (or of the
// event handling, when there was nothing to show). The figures only grow while the program
// runs; readers take differences.
#pragma once

#include <cstdint>

// How many frames the window thread has presented since the program started;
// a cycle with nothing new presents none.
uint64_t sdl_present_count();

struct SdlCycleStats {
  uint64_t presented = 0;     // cycles that converted, uploaded and presented
  uint64_t presented_ns = 0;  // their total duration
  uint64_t unchanged = 0;     // cycles with nothing to show
  uint64_t unchanged_ns = 0;
  // Keys followed by a presented frame, and the time from the window thread
  // writing each such key into the ring to the end of that frame's present.
  uint64_t keys_shown = 0;
  uint64_t key_to_shown_ns = 0;
};
SdlCycleStats sdl_cycle_stats();
