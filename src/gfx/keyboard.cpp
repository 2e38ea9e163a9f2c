// The key ring and the key reading of the graphics screen.
#include "gfx/keyboard.h"

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

// Takes the oldest code under the lock; 0 when the ring is empty.
uint32_t take_code(GfxScreen* s, bool clear_arrived) {
  lock_screen();
  uint32_t code = key_ring_read(s->keys);
  if (clear_arrived) s->keys.key_arrived = false;
  unlock_screen_unflagged();
  if (code == 0) empty_ring_moment(s);
  return code;
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
  ring.slots[ring.write] = code;
  ring.write = (ring.write + 1) % 16;
  if (ring.write == ring.read) ring.read = (ring.read + 1) % 16;
  ring.key_arrived = true;
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

void reset_char_reader() {
  g_leftover.clear();
}

void wait_for_key_signal(int ms) {
  GfxScreen* s = gfx_screen();
  if (s && s->driver->wait_for_key) {
    s->driver->wait_for_key(ms);
  } else if (!s || !s->driver->virtual_time) {
    sleep_ms(ms < 0 ? kIdlePollMs : ms);
  }
}

std::string wait_key() {
  for (;;) {
    std::string k = INKEY();
    if (!k.empty()) return k;
    wait_for_key_signal(-1);
  }
}
