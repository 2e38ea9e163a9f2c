# Sources of the SDL back-end (relative to this folder).
set(KOV1_SDL_SOURCES sdl.cpp sdl_keys.cpp sdl_present.cpp)
