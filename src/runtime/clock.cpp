#include "runtime/clock.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point start_time() {
  static const Clock::time_point start = Clock::now();
  return start;
}

// Anchors the start when the program loads, before anything asks the time.
const Clock::time_point g_anchor = start_time();

std::atomic<bool> g_virtual{false};
std::atomic<int64_t> g_virtual_ms{0};

}  // namespace

double TIMER() {
  int64_t ms = g_virtual_ms.load();
  if (!g_virtual.load()) {
    ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_time()).count();
  }
  return static_cast<double>(ms) / 1000.0;
}

void sleep_ms(int ms) {
  if (ms <= 0) return;
  if (g_virtual.load()) {
    g_virtual_ms += ms;
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

void clock_use_virtual(bool on) {
  g_virtual = on;
}

bool clock_is_virtual() {
  return g_virtual.load();
}

void clock_advance_ms(int ms) {
  if (ms > 0) g_virtual_ms += ms;
}
