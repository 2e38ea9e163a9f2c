// The key ring and the key reading of the graphics screen.
#include "gfx/keyboard.h"

#include <chrono>

#include "gfx/display_driver.h"
#include "gfx/keys.h"
#include "gfx/screen.h"
#include "runtime/clock.h"
#include "runtime/console.h"

namespace {

std::string g_leftover;  // characters of the one-character read still to come

// The pause between polls where nothing signals a key's arrival.
constexpr int kIdlePollMs = 5;

void empty_ring_moment(const GfxScreen* s) {
  if (s->driver->on_empty_ring) s->driver->on_empty_ring();
}

// Takes the oldest code under the lock; 0 when the ring is empty. Unless
// pointer events are wanted, those met on the way are dropped.
uint32_t take_code(GfxScreen* s, bool clear_arrived, bool with_pointer = false) {
  lock_screen();
  uint32_t code = key_ring_read(s->keys);
  while (!with_pointer && is_pointer_code(code)) code = key_ring_read(s->keys);
  if (clear_arrived) s->keys.key_arrived = false;
  unlock_screen_unflagged();
  if (code == 0) empty_ring_moment(s);
  return code;
}

// Drops the pointer events at the head of the ring (the caller holds the lock).
void drop_leading_pointer_events(KeyRing& ring) {
  while (!key_ring_empty(ring) && is_pointer_code(ring.slots[ring.read]))
    ring.read = (ring.read + 1) % 16;
}

// Tests and clears the key-arrived flag.
bool key_arrived(GfxScreen* s) {
  lock_screen();
  bool arrived = s->keys.key_arrived;
  s->keys.key_arrived = false;
  bool empty = key_ring_empty(s->keys);
  unlock_screen_unflagged();
  if (empty) empty_ring_moment(s);
  return arrived;
}

}  // namespace

void key_ring_write(KeyRing& ring, uint32_t code) {
  const unsigned newest = (ring.write + 15) % 16;
  const auto motion = [](uint32_t c) { return pointer_event(c).kind == PointerKind::Move; };
  if (!key_ring_empty(ring) && motion(code) && motion(ring.slots[newest])) {
    ring.slots[newest] = code;
    return;
  }
  ring.slots[ring.write] = code;
  ring.write = (ring.write + 1) % 16;
  if (ring.write == ring.read) ring.read = (ring.read + 1) % 16;
  if (!is_pointer_code(code)) ring.key_arrived = true;
}

uint32_t key_ring_read(KeyRing& ring) {
  if (ring.read == ring.write) return 0;
  uint32_t code = ring.slots[ring.read];
  ring.read = (ring.read + 1) % 16;
  return code;
}

bool key_ring_empty(const KeyRing& ring) {
  return ring.read == ring.write;
}

std::string INKEY() {
  GfxScreen* s = gfx_screen();
  if (!s) return console_inkey();
  return key_string(take_code(s, true));
}

uint32_t key_wait() {
  for (;;) {
    GfxScreen* s = gfx_screen();
    uint32_t code = s ? take_code(s, true) : 0;
    if (!s) {
      std::string k = console_inkey();
      if (!k.empty()) code = static_cast<uint8_t>(k[0]);
    }
    sleep_ms(20);
    if (code) return code;
  }
}

bool key_test() {
  GfxScreen* s = gfx_screen();
  if (!s) return false;
  lock_screen();
  drop_leading_pointer_events(s->keys);
  bool empty = key_ring_empty(s->keys);
  unlock_screen_unflagged();
  if (empty) empty_ring_moment(s);
  return !empty;
}

void SLEEP(int ms) {
  GfxScreen* s = gfx_screen();
  if (!s) {
    if (ms > 0) sleep_ms(ms);
    return;
  }
  if (ms < 0) {
    while (!key_arrived(s)) sleep_ms(50);
    return;
  }
  if (ms >= 100) {
    for (; ms > 50; ms -= 50) {
      if (key_arrived(s)) return;
      sleep_ms(50);
    }
  }
  if (ms > 0) sleep_ms(ms);
}

char read_char() {
  while (g_leftover.empty()) {
    if (!gfx_screen()) {
      g_leftover = console_inkey();
      if (g_leftover.empty()) wait_for_key_signal(25);
      continue;
    }
    while (!key_test()) wait_for_key_signal(25);
    g_leftover = INKEY();
  }
  char c = g_leftover[0];
  g_leftover.erase(0, 1);
  return c;
}

char read_char_or_pointer(PointerEvent& pointer) {
  pointer = {};
  while (g_leftover.empty()) {
    if (!gfx_screen()) return read_char();
    g_leftover = wait_input(pointer);
    if (pointer.kind != PointerKind::None) return 0;
  }
  char c = g_leftover[0];
  g_leftover.erase(0, 1);
  return c;
}

void reset_char_reader() {
  g_leftover.clear();
}

namespace {

// Whether a key (not a pointer event) is pending; pointer events ahead of
// it are dropped, since the caller reads keys only.
bool key_at_head(GfxScreen* s) {
  lock_screen();
  drop_leading_pointer_events(s->keys);
  const bool pending = !key_ring_empty(s->keys);
  unlock_screen_unflagged();
  return pending;
}

// The back-end's wait ends on any pending code. A wait for a key drops the
// pointer events ahead of it, and a timed one goes on waiting, for what is
// left of its time, after pointer events (untimed waits are polled again by
// their callers).
void wait_for_signal(int ms, bool with_pointer) {
  GfxScreen* s = gfx_screen();
  if (!s || !s->driver->wait_for_key) {
    if (!s || !s->driver->virtual_time) sleep_ms(ms < 0 ? kIdlePollMs : ms);
    return;
  }
  if (with_pointer || ms < 0 || s->driver->virtual_time) {
    if (!with_pointer) key_at_head(s);
    s->driver->wait_for_key(ms);
    return;
  }
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  for (int left = ms; !key_at_head(s);) {
    s->driver->wait_for_key(left);
    left =
        static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count());
    if (left <= 0) return;
  }
}

}  // namespace

void wait_for_key_signal(int ms) {
  wait_for_signal(ms, false);
}

void wait_for_input_signal(int ms) {
  wait_for_signal(ms, true);
}

std::string wait_key() {
  for (;;) {
    std::string k = INKEY();
    if (!k.empty()) return k;
    wait_for_key_signal(-1);
  }
}

std::string read_input(PointerEvent& pointer) {
  pointer = {};
  GfxScreen* s = gfx_screen();
  if (!s) return console_inkey();
  const uint32_t code = take_code(s, true, true);
  pointer = pointer_event(code);
  return is_pointer_code(code) ? "" : key_string(code);
}

std::string wait_input(PointerEvent& pointer) {
  for (;;) {
    std::string k = read_input(pointer);
    if (!k.empty() || pointer.kind != PointerKind::None) return k;
    wait_for_input_signal(-1);
  }
}
