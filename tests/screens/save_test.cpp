// A save that fails part-way leaves no half-written drawing behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "editorstate/editor.h"
#include "gfx_test_util.h"
#include "imageformat/journal.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "scratch_folder.h"
#include "screens/file_dialog.h"

namespace {

int g_failures = 0;

void CountFailure(int) {
  ++g_failures;
}

// In a child process: saves a journal larger than the file size limit.
[[noreturn]] void SaveOverTheLimit() {
  namespace fs = std::filesystem;
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{50000, 50000};
  setrlimit(RLIMIT_FSIZE, &limit);
  Editor ed;
  ed.Saved = 0;
  set_error_handler(CountFailure);
  JournalUse("image.img", false);
  bool saved = SaveJournalAs(ed, "COPY" + std::string(76, ' '));
  bool ok = !saved && !fs::exists("COPY") && ed.Saved == 0 && g_failures == 1;
  std::exit(ok ? 0 : 1);
}

}  // namespace

using SaveTest = Mode8Test;

TEST_F(SaveTest, AWriteFailurePartWayRemovesTheFileAndKeepsTheWorkUnsaved) {
  ScratchFolder scratch("kov1-save");
  scratch.Enter();
  std::string journal = "SCREEN 8\r\n";
  while (journal.size() < 100000) journal += "line ( 1,  2)-( 3, 4),       7\r\n";
  std::ofstream("image.img", std::ios::binary) << journal;
  // The size limit lets the copy begin and fails it part-way, as a disk
  // that fills up does.
  EXPECT_EXIT(SaveOverTheLimit(), ::testing::ExitedWithCode(0), "");
}
