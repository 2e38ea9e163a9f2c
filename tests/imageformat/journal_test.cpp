// The journal's length and cut, against a model of its bytes: a random run
// of appends and cuts, in both ways the journal is open for writing.
#include "imageformat/journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/errors.h"
#include "runtime/files.h"
#include "scratch_folder.h"

namespace {

std::vector<int> g_errors;
void RecordError(int number) {
  g_errors.push_back(number);
}

std::string JournalBytes() {
  std::ostringstream bytes;
  bytes << std::ifstream("image.img", std::ios::binary).rdbuf();
  return bytes.str();
}

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.Enter();
    previous_ = set_error_handler(RecordError);
    g_errors.clear();
  }
  void TearDown() override {
    JournalClose();
    file_close_all();
    set_error_handler(previous_);
  }
  ScratchFolder scratch_{"kov1-journal"};
  ErrorHandler previous_ = nullptr;
};

TEST_F(JournalTest, LengthAndCutFollowWholeLinesInARandomRun) {
  std::mt19937 random(11);
  for (bool reopened : {false, true}) {
    ASSERT_TRUE(JournalStart());
    if (reopened) {
      JournalClose();
      ASSERT_TRUE(JournalUse("image.img", false));
    }
    std::string model = "SCREEN 8\r\n";
    std::vector<long long> line_ends = {0, 10};
    for (int step = 0; step < 300; ++step) {
      const unsigned choice = random() % 4;
      if (choice == 0 && line_ends.size() > 2) {
        // Back to a line end taken at random, the header's included.
        line_ends.resize(1 + random() % (line_ends.size() - 1));
        ASSERT_TRUE(JournalCut(line_ends.back()));
        model.resize(static_cast<size_t>(line_ends.back()));
      } else if (choice == 1) {
        // An append to an empty journal brings the header in the same write.
        if (model.empty()) model = kJournalHeader, line_ends.push_back(10);
        std::vector<std::string> lines(1 + random() % 3,
                                       "LINE (1, 2)-(3, 4), " + std::to_string(step));
        ASSERT_TRUE(JournalAppendLines(lines));
        for (const std::string& line : lines) {
          model += line + "\r\n";
          line_ends.push_back(static_cast<long long>(model.size()));
        }
      } else {
        if (model.empty()) model = kJournalHeader, line_ends.push_back(10);
        ASSERT_TRUE(JournalAppend("CIRCLE (" + std::to_string(step) + ", 5), 3, 7"));
        model += "CIRCLE (" + std::to_string(step) + ", 5), 3, 7\r\n";
        line_ends.push_back(static_cast<long long>(model.size()));
      }
      ASSERT_EQ(JournalLength(), static_cast<long long>(model.size())) << "step " << step;
    }
    // Within a line, past the end and before the start are refused, and the
    // journal stays as it was.
    const long long length = JournalLength();
    for (long long bad : {length - 1, length + 1, 5LL, -1LL}) {
      EXPECT_FALSE(JournalCut(bad)) << bad;
    }
    EXPECT_EQ(g_errors, std::vector<int>(4, kErrIllegalFunctionCall));
    g_errors.clear();
    JournalClose();
    EXPECT_EQ(JournalBytes(), model);
  }
}

// A save copies the journal read from its start, line for line.
TEST_F(JournalTest, CopyToWritesEveryLine) {
  ASSERT_TRUE(JournalStart());
  ASSERT_TRUE(JournalAppendLines({"A", "", "B C"}));
  ASSERT_TRUE(file_open(2, "COPY", FileMode::Output));
  EXPECT_TRUE(JournalCopyTo(2));
  file_close_all();
  std::ostringstream copy;
  copy << std::ifstream("COPY", std::ios::binary).rdbuf();
  EXPECT_EQ(copy.str(), "SCREEN 8\r\nA\r\n\r\nB C\r\n");
  EXPECT_TRUE(g_errors.empty());
}

}  // namespace
