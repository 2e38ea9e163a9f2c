// keyboard.h - the key ring and the key reading of the graphics screen.
//
// The window thread (or a script) writes key codes into the 16-slot ring:
// 1-255 a code page 437 character, (b << 8) | 0xFF an extended key with PC
// code b. The ring keeps at most 15 codes; a 16th overwrites the oldest.
// INKEY never waits: "" when no key, one character, or CHR$(255) + CHR$(b).
// Every loop that waits for a key calls wait_for_key_signal between empty
// polls, so that an idle editor does not keep a processor busy.
// Pointer events share the ring (keys.h): INKEY, the key test, SLEEP and
// the one-character read drop those they meet; read_input and wait_input
// return them to the screens that act on the pointer. A motion written
// right behind another unread motion replaces it, so motion never backs up.
#pragma once

#include <cstdint>
#include <string>

struct PointerEvent;  // keys.h

struct KeyRing {
  uint32_t slots[16];
  unsigned read, write;
  bool key_arrived;
};

// Writes a code into the ring (the caller holds the screen's lock); a
// pointer motion behind an unread motion takes its place.
void key_ring_write(KeyRing& ring, uint32_t code);
// Takes the oldest code, or 0 when empty (the caller holds the lock).
uint32_t key_ring_read(KeyRing& ring);
bool key_ring_empty(const KeyRing& ring);

std::string INKEY();
// Waits for a key and returns its code.
uint32_t key_wait();
// True when a key is pending; consumes nothing.
bool key_test();
// Sleeps ms milliseconds (-1: until a key); a key pressed meanwhile stays pending.
void SLEEP(int ms);
// Reads one character as from a file: leftovers of an extended key first.
char read_char();
// The one-character read for a screen that acts on the pointer: a pointer
// event that comes before the next character is taken into pointer, and 0
// returned.
char read_char_or_pointer(PointerEvent& pointer);
// Forgets the leftover of the one-character read.
void reset_char_reader();

// Waits up to ms milliseconds for the key-arrived signal (the idle wait
// between empty polls of a key-waiting loop); with ms < 0, until a key is
// pending where the back-end can tell, else a few milliseconds.
void wait_for_key_signal(int ms);

// Polls INKEY until it returns a key, idling between empty polls.
std::string wait_key();

// INKEY that also takes pointer events: the next key, or "" with the
// pointer event that came first in pointer (kind None when there was none).
std::string read_input(PointerEvent& pointer);
// The idle wait of a loop that polls read_input: it ends on a key or a
// pointer event (wait_for_key_signal drops pointer events).
void wait_for_input_signal(int ms);
// Waits until read_input has a key or a pointer event.
std::string wait_input(PointerEvent& pointer);
