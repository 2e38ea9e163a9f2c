#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include "test_support.h"

namespace {

using FileErrors = RuntimeFiles;

TEST_F(FileErrors, MissingFileAndMissingFolder) {
  EXPECT_FALSE(file_open(2, path("nothere.bas"), FileMode::Input));
  EXPECT_FALSE(file_open(2, path("nofolder/x.bas"), FileMode::Input));
  EXPECT_FALSE(file_open(2, path("nofolder/x.bas"), FileMode::Output));
  write_raw("plain", "x");
  EXPECT_FALSE(file_open(2, path("plain/x.bas"), FileMode::Append));  // not a folder
  EXPECT_FALSE(file_delete(path("nothere.bas")));
  EXPECT_FALSE(file_delete(path("nofolder/x.bas")));
  EXPECT_EQ(raised_errors(), (std::vector<int>{53, 76, 76, 76, 53, 76}));
  EXPECT_FALSE(file_is_open(2));
}

TEST_F(FileErrors, BadNames) {
  EXPECT_FALSE(file_open(1, "", FileMode::Output));
  EXPECT_FALSE(file_open(1, "     ", FileMode::Input));
  EXPECT_FALSE(file_open(1, std::string("a\0b", 3), FileMode::Output));
  EXPECT_FALSE(file_open(1, path(std::string(300, 'n')), FileMode::Output));
  EXPECT_FALSE(file_delete(""));
  EXPECT_EQ(raised_errors(), (std::vector<int>{64, 64, 64, 64, 64}));
}

TEST_F(FileErrors, NonRegularInputsAndReaderlessFifoFailAtOnce) {
  ASSERT_EQ(mkfifo(path("fifo").c_str(), 0666), 0);
  std::filesystem::create_directory(path("folder"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(file_open(2, path("folder"), FileMode::Input));
  EXPECT_FALSE(file_open(2, path("fifo"), FileMode::Input));
  EXPECT_FALSE(file_open(2, "/dev/zero", FileMode::Input));
  EXPECT_FALSE(file_open(2, path("fifo"), FileMode::Output));
  EXPECT_FALSE(file_open(2, path("fifo"), FileMode::Append));
  EXPECT_FALSE(file_open(2, path("folder"), FileMode::Output));
  EXPECT_FALSE(file_delete(path("folder")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  // A folder or a device where a file was wanted is error 75; a FIFO
  // without a reader is a device that is not ready.
  EXPECT_EQ(raised_errors(), (std::vector<int>{75, 75, 75, 71, 71, 75, 75}));
}

TEST_F(FileErrors, FullDiskShowsAtWriteSyncOrClose) {
  ASSERT_TRUE(file_open(1, "/dev/full", FileMode::Output));
  EXPECT_FALSE(file_print(1, "line"));
  ASSERT_TRUE(file_open(2, "/dev/full", FileMode::Output, FileBuffering::Buffered));
  EXPECT_TRUE(file_print(2, "line"));
  EXPECT_FALSE(file_sync(2));
  EXPECT_TRUE(file_sync(2));  // reported once; the data is gone
  EXPECT_TRUE(file_print(2, "line"));
  EXPECT_FALSE(file_close(2));
  EXPECT_FALSE(file_is_open(2));
  EXPECT_EQ(raised_errors(), (std::vector<int>{61, 61, 61}));
}

TEST_F(FileErrors, MisusedNumbersFailWithoutEffect) {
  write_raw("in", "x\n");
  ASSERT_TRUE(file_open(1, path("in"), FileMode::Input));
  EXPECT_FALSE(file_open(1, path("other"), FileMode::Output));  // already open
  EXPECT_FALSE(file_print(1, "y"));                             // open for input
  EXPECT_FALSE(file_open(0, path("other"), FileMode::Output));
  EXPECT_FALSE(file_open(kMaxFiles + 1, path("other"), FileMode::Output));
  EXPECT_TRUE(file_eof(3));  // not open
  EXPECT_EQ(raised_errors().size(), 5u);
  EXPECT_FALSE(std::filesystem::exists(path("other")));
  EXPECT_EQ(file_read_line(1), "x");
  EXPECT_EQ(read_raw("in"), "x\n");
}

int g_inner_calls = 0;
void inner_handler(int) {
  ++g_inner_calls;
}
// Like the program's handler: swaps in an inner one while it runs, and the
// operations it uses then fail into the inner one.
void outer_handler(int number) {
  record_error(number);
  const ErrorHandler self = set_error_handler(inner_handler);
  file_close_all();
  file_open(2, "", FileMode::Input);
  set_error_handler(self);
}

TEST_F(FileErrors, HandlerCanSwapItselfAndCloseFilesWhileHandling) {
  EXPECT_EQ(current_error_handler(), &record_error);
  EXPECT_EQ(set_error_handler(outer_handler), &record_error);
  ASSERT_TRUE(file_open(1, path("journal"), FileMode::Append));
  ASSERT_TRUE(file_open(3, "/dev/full", FileMode::Output, FileBuffering::Buffered));
  file_print(3, "x");
  EXPECT_FALSE(file_close(3));
  EXPECT_EQ(raised_errors(), std::vector<int>{61});
  EXPECT_EQ(g_inner_calls, 1);
  EXPECT_EQ(current_error_handler(), &outer_handler);
  EXPECT_FALSE(file_is_open(1));

  set_error_handler(nullptr);  // no handler: failures are passed over
  EXPECT_FALSE(file_open(1, path("nothere"), FileMode::Input));
}

// Writes two lines under a limit on file size that stops the second part way,
// as a filling disk does; exits with 0 when only the second failed.
[[noreturn]] void write_past_size_limit(const std::string& name) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{12, 12};
  setrlimit(RLIMIT_FSIZE, &limit);
  file_open(1, name, FileMode::Append);
  const bool first = file_print(1, "12345678");
  const bool second = file_print(1, "abcdefgh");
  std::_Exit(first && !second && raised_errors() == std::vector<int>{kErrDiskFull} ? 0 : 1);
}

TEST_F(FileErrors, FailedWriteLeavesNoPartOfItsLine) {
  EXPECT_EXIT(write_past_size_limit(path("journal")), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(read_raw("journal"), "12345678\r\n");
}

[[noreturn]] void open_with_no_descriptor_left(const std::string& name) {
  const rlimit limit{16, 16};
  setrlimit(RLIMIT_NOFILE, &limit);
  while (open("/dev/null", O_RDONLY) >= 0) {
  }
  file_open(1, name, FileMode::Output);
  std::_Exit(raised_errors() == std::vector<int>{67} ? 0 : 1);
}

TEST_F(FileErrors, TooManyOpenFiles) {
  EXPECT_EXIT(open_with_no_descriptor_left(path("f")), ::testing::ExitedWithCode(0), "");
}

}  // namespace
