// Keeping a change to a picked shape against kills: the journal is
// rewritten beside itself and renamed into place, so a kill at any step of
// the keep, or at a random moment of the run, leaves image.img the old
// journal or the new one, whole.
#include <signal.h>

#include <chrono>
#include <iostream>
#include <random>

#include "fault_harness.h"

namespace {

using Keys = std::vector<std::string>;

// The editor opens DRAWING, picks what is under the cursor, moves it one
// pixel right and keeps the change; the script then ends (status 3).
struct KeepChange {
  std::string dir = NewFolder();
  std::string drawing = Drawing(5000);

  KeepChange() { WriteFile(dir + "/DRAWING", drawing); }
  EditorRun Run(const Launch& launch, bool keep = true) const {
    return RunEditor(dir, FromMainLoop(keep ? Keys{"TAB", "RIGHT", "."} : Keys{"TAB", "RIGHT"}), {},
                     {"DRAWING"}, launch);
  }
  std::string Journal() const { return ReadFile(dir + "/image.img"); }
};

const std::string& Changed() {
  static const std::string changed = [] {
    const KeepChange f;
    const EditorRun run = f.Run({});
    EXPECT_EQ(run.status, 3) << run.err;
    return f.Journal();
  }();
  return changed;
}

::testing::AssertionResult OldOrNew(const KeepChange& f) {
  const std::string journal = f.Journal();
  if (journal == f.drawing || journal == Changed()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "image.img has " << journal.size() << " bytes, neither the old journal nor the new";
}

}  // namespace

TEST(PickFaults, AKillAtAnyStepOfAKeepLeavesTheOldJournalOrTheNew) {
  REQUIRE(NeedStrace());
  ASSERT_NE(Changed(), KeepChange().drawing);
  const KeepChange traced;
  const std::string trace = traced.dir + ".trace";
  ASSERT_EQ(traced.Run(Traced(trace)).status, 3);
  const std::vector<Step> steps = StepsFrom(trace, "image.img.edit\", O_");
  ASSERT_GT(steps.size(), 4u);
  int old_kept = 0, new_in_place = 0;
  for (const Step& step : steps) {
    const KeepChange f;
    const EditorRun run = f.Run(KillAt(step));
    EXPECT_EQ(run.status, 128 + SIGKILL) << step.line;
    EXPECT_TRUE(OldOrNew(f)) << "killed at " << step.line;
    old_kept += f.Journal() == f.drawing ? 1 : 0;
    new_in_place += f.Journal() == Changed() ? 1 : 0;
  }
  std::cout << steps.size() << " kills: " << old_kept << " kept the old journal, " << new_in_place
            << " left the new one\n";
  EXPECT_GT(old_kept, 0);
  EXPECT_GT(new_in_place, 0);
}

// Kills at random moments around the keep: from a little before the time
// a run takes without it to a little after the time with it. A kill that
// comes before the drawing was opened leaves the start-up journal.
TEST(PickFaults, RandomKillsLeaveTheOldJournalOrTheNew) {
  ASSERT_NE(Changed(), KeepChange().drawing);
  auto time = [](bool keep) {
    const auto start = std::chrono::steady_clock::now();
    KeepChange().Run({}, keep);
    return static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count());
  };
  const int before = time(false), after = time(true);
  std::mt19937 rng(21);
  int changes = 0;
  for (int i = 0; i < 30; ++i) {
    const KeepChange f;
    Launch launch;
    launch.kill_after_us =
        std::uniform_int_distribution<int>(before * 8 / 10, std::max(before, after) * 11 / 10)(rng);
    f.Run(launch);
    const std::string journal = f.Journal();
    if (journal.empty() || journal == "SCREEN 8\r\n") continue;
    EXPECT_TRUE(OldOrNew(f)) << "killed after " << launch.kill_after_us << " us";
    changes += journal == Changed() ? 1 : 0;
  }
  std::cout << "30 random kills: " << changes << " after the keep\n";
}
