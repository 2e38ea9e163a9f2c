// backends.h - the display back-ends of this platform.
//
// register_standard_backends() makes them known to SCREEN: the windowed
// "SDL" back-end, and "Null" and "Script", which are chosen only by name
// (TRVGFX=null, TRVGFX=script). Call it once before the first SCREEN.
#pragma once

struct DisplayDriver;

extern const DisplayDriver kNullDriver;
extern const DisplayDriver kSdlDriver;
extern const DisplayDriver kScriptDriver;

void register_standard_backends();
