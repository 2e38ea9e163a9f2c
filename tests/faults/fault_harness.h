// fault_harness.h - the means of the fault campaign: the editor and
// kov1-render run while faults are injected, and the files they were given
// are checked afterwards.
//
// Facilities: a file system of a given size of its own (tmpfs, in a mount
// namespace private to this test process, so that nothing outlives it),
// remounting it read-only, device nodes, another user than root (for
// permission bits, which root ignores), and strace, which kills the
// program or fails a call at a chosen step of a run. Each case asks for
// what it needs with REQUIRE(Need...()); a facility that is missing makes
// the case skip, saying why. The file-size limit is set by Launch itself.
//
// Steps: a run traced once with Traced() is cut into its system calls; a
// step is the n-th call of one name (what strace counts for its :when=),
// so KillAt and FailAt reach the same moment of a rerun.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "editor_run.h"

// Skips the case with the reason when a facility is missing.
#define REQUIRE(facility)                            \
  do {                                               \
    const std::string missing_ = (facility);         \
    if (!missing_.empty()) GTEST_SKIP() << missing_; \
  } while (0)

// Each returns "" when the facility is there, else why it is not.
std::string NeedMounts();  // tmpfs mounts and read-only remounts
std::string NeedDeviceNodes();
std::string NeedOtherUser();
std::string NeedStrace();

// The user the cases run the programs as when permission bits must count.
inline constexpr int kNobody = 65534;

// A fresh folder that is a file system of `bytes` bytes of its own.
std::string SmallDisk(long long bytes);
// Fills the file system that holds dir until `leave` bytes are free.
void FillDisk(const std::string& dir, long long leave);
void RemountReadOnly(const std::string& dir);

// A system call of a run: the `ordinal`-th call named `call`.
struct Step {
  std::string call;
  int ordinal = 0;
  std::string line;  // as strace showed it
};

// Runs under strace, which writes every call to trace_path.
Launch Traced(const std::string& trace_path);
// The steps of a traced run from the first call whose line holds `from`
// to the first after it that holds `until`, or to the end (the process's
// exit and the calls for memory, entropy and clocks left out).
std::vector<Step> StepsFrom(const std::string& trace_path, const std::string& from,
                            const std::string& until = "");
// Runs killed with SIGKILL as they enter the step / with the step failing
// with the error (an errno name such as ENOSPC).
Launch KillAt(const Step& step);
Launch FailAt(const Step& step, const std::string& error);

// Runs paused for a while as the program opens the file at path (a script
// line "copy FILE NAME" opens NAME): WhenCreated then changes the folder
// at that moment of the run, from another thread.
Launch PauseAt(const std::string& path);
// Starts a thread that waits until path exists, then runs change; join it
// after the run.
std::thread WhenCreated(const std::string& path, std::function<void()> change);

// The names in a folder, "." and ".." left out.
std::vector<std::string> FolderNames(const std::string& dir);
// A drawing of `lines` lines after "SCREEN 8", in the editor's own form.
std::string Drawing(int lines);
