// sdl_backend.h - what tests may observe of the SDL back-end's window thread.
#pragma once

#include <cstdint>

// How many frames the window thread has presented since the program started;
// a cycle with nothing new presents none.
uint64_t sdl_present_count();
