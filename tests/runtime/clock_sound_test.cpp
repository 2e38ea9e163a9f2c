#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/clock.h"
#include "runtime/sound.h"

namespace {

using Steady = std::chrono::steady_clock;

TEST(Clock, VirtualClockMovesOnlyWhenTold) {
  clock_use_virtual(true);
  EXPECT_TRUE(clock_is_virtual());
  const double t0 = TIMER();
  const auto start = Steady::now();
  sleep_ms(60000);
  PlayTone(440, 200);
  BEEP();
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(500));
  EXPECT_DOUBLE_EQ(TIMER(), t0 + 60.0);
  clock_advance_ms(1);
  EXPECT_DOUBLE_EQ(TIMER(), t0 + 60.001);
  sleep_ms(-5);
  EXPECT_DOUBLE_EQ(TIMER(), t0 + 60.001);
  clock_use_virtual(false);
  EXPECT_FALSE(clock_is_virtual());
}

TEST(Clock, RealTimerCountsWholeMilliseconds) {
  const double t0 = TIMER();
  sleep_ms(30);
  const double t1 = TIMER();
  EXPECT_GE(t1 - t0, 0.029);
  EXPECT_LT(t1 - t0, 2.0);
  EXPECT_NEAR(t1 * 1000.0, std::round(t1 * 1000.0), 1e-6);
}

TEST(Sound, ToneLastsItsLengthOnTheSilentDriver) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto start = Steady::now();
  PlayTone(1000, 0);
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(50));
  start = Steady::now();
  PlayTone(523, 3);
  const auto took = Steady::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(140));
  EXPECT_LT(took, std::chrono::seconds(2));
}

// Each tone takes its time whether or not there is a sound device to hear it
// (SDL_AUDIODRIVER=none: none at all; unset: whatever this machine has), and
// nothing of the sound library reaches standard error meanwhile.
TEST(Sound, ToneTakesItsTimeAndLeavesStandardErrorQuiet) {
  for (const char* driver : {"none", ""}) {
    if (*driver) {
      setenv("SDL_AUDIODRIVER", driver, 1);
    } else {
      unsetenv("SDL_AUDIODRIVER");
    }
    const std::string path = ::testing::TempDir() + "sound_stderr_" + std::to_string(getpid());
    std::fflush(stderr);
    const int saved = dup(2);
    ASSERT_TRUE(std::freopen(path.c_str(), "w", stderr));
    auto start = Steady::now();
    PlayTone(1000, 0);
    const auto zero = Steady::now() - start;
    start = Steady::now();
    PlayTone(523, 3);
    const auto took = Steady::now() - start;
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::ostringstream err;
    err << std::ifstream(path).rdbuf();
    std::remove(path.c_str());
    EXPECT_LT(zero, std::chrono::milliseconds(50)) << driver;
    EXPECT_GE(took, std::chrono::milliseconds(150)) << driver;
    EXPECT_LT(took, std::chrono::seconds(2)) << driver;
    EXPECT_EQ(err.str(), "") << driver;
  }
}

}  // namespace
