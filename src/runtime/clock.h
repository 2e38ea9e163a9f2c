// clock.h - the program's clock: elapsed seconds, sleeping, and the switch
// to a virtual clock under which no real time passes (scripted test runs).
#pragma once

// Seconds since the program started, millisecond resolution.
double TIMER();
// Sleeps ms milliseconds (virtual clock: advances it instead).
void sleep_ms(int ms);
void clock_use_virtual(bool on);
bool clock_is_virtual();
void clock_advance_ms(int ms);
