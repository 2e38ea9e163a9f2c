#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using FileRoundTrip = RuntimeFiles;

std::vector<std::string> read_all_lines(int number) {
  std::vector<std::string> lines;
  while (!file_eof(number)) lines.push_back(file_read_line(number));
  return lines;
}

// The same lines read in blocks and cut apart.
std::vector<std::string> read_all_blocks(int number) {
  std::vector<std::string> lines;
  std::string_view block, line;
  while (file_next_lines(number, &block) == LineRead::Line) {
    while (take_line(&block, &line)) lines.emplace_back(line);
  }
  return lines;
}

TEST_F(FileRoundTrip, PrintWritesTextAndCrLfExactly) {
  ASSERT_TRUE(file_open(1, path("a.bas"), FileMode::Output));
  EXPECT_TRUE(file_print(1, "SCREEN 8"));
  EXPECT_TRUE(file_print(1, ""));
  EXPECT_TRUE(file_print(1, "x$ = \"\xDA\xC4\""));
  EXPECT_TRUE(file_close(1));
  EXPECT_EQ(read_raw("a.bas"), "SCREEN 8\r\n\r\nx$ = \"\xDA\xC4\"\r\n");

  ASSERT_TRUE(file_open(2, path("a.bas"), FileMode::Input));
  EXPECT_EQ(read_all_lines(2), (std::vector<std::string>{"SCREEN 8", "", "x$ = \"\xDA\xC4\""}));
  EXPECT_TRUE(raised_errors().empty());
}

TEST_F(FileRoundTrip, LfAndCrLfReadAlikeAndLastLineNeedsNoEnd) {
  write_raw("mixed", "one\r\ntwo\n\nthree\r\r\nlast\r");
  const std::vector<std::string> mixed{"one", "two", "", "three\r", "last\r"};
  ASSERT_TRUE(file_open(2, path("mixed"), FileMode::Input));
  EXPECT_EQ(read_all_lines(2), mixed);
  EXPECT_EQ(file_read_line(2), "");  // past the end: nothing, no error
  ASSERT_TRUE(file_close(2) && file_open(2, path("mixed"), FileMode::Input));
  EXPECT_EQ(read_all_blocks(2), mixed);
  EXPECT_TRUE(raised_errors().empty());

  write_raw("empty", "");
  ASSERT_TRUE(file_open(3, path("empty"), FileMode::Input));
  EXPECT_TRUE(file_eof(3));

  write_raw("one-end", "\r\n");
  ASSERT_TRUE(file_open(4, path("one-end"), FileMode::Input));
  EXPECT_EQ(read_all_lines(4), std::vector<std::string>{""});
}

TEST_F(FileRoundTrip, BlocksCutIntoLinesOfEveryShortLength) {
  std::string bytes;
  std::vector<std::string> expected;
  for (int n = 0; n < 40; ++n) {
    std::string line(static_cast<size_t>(n), static_cast<char>('a' + n % 26));
    if (n % 3 == 0 && n > 0) line[static_cast<size_t>(n / 2)] = '\r';  // a CR inside stays
    bytes += line + (n % 2 ? "\r\n" : "\n");
    expected.push_back(line);
  }
  write_raw("short", bytes + "tail");
  expected.push_back("tail");
  ASSERT_TRUE(file_open(1, path("short"), FileMode::Input));
  EXPECT_EQ(read_all_blocks(1), expected);
}

TEST_F(FileRoundTrip, LinesLongerThanOneReadAndCrLfAcrossReads) {
  const std::string a(65535, 'a');  // its CR is the last byte of the first 64 KiB
  const std::string b(200000, 'b');
  write_raw("long", a + "\r\n" + b + "\r\nend\n");
  ASSERT_TRUE(file_open(1, path("long"), FileMode::Input));
  EXPECT_EQ(read_all_lines(1), (std::vector<std::string>{a, b, "end"}));
  ASSERT_TRUE(file_close(1) && file_open(1, path("long"), FileMode::Input));
  EXPECT_EQ(read_all_blocks(1), (std::vector<std::string>{a, b, "end"}));
}

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

TEST_F(FileRoundTrip, AVeryLongLineReadsInTimeProportionalToItsLength) {
  // Processor seconds to read one line of `length` bytes, by lines and by
  // blocks; the faster of two tries.
  auto seconds_to_read = [this](size_t length) {
    const std::string huge(length, '7');
    write_raw("huge", huge + "\r\nnext\r\n");
    double fastest = 1e9;
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_TRUE(file_open(1, path("huge"), FileMode::Input));
      const double start = ThreadSeconds();
      EXPECT_TRUE(file_read_line(1) == huge);
      std::string_view block, line;
      EXPECT_TRUE(file_close(1) && file_open(1, path("huge"), FileMode::Input));
      EXPECT_EQ(file_next_lines(1, &block), LineRead::Line);
      EXPECT_TRUE(take_line(&block, &line) && line == huge);
      fastest = std::min(fastest, ThreadSeconds() - start);
      file_close(1);
    }
    return fastest;
  };
  // A long line arrives in many reads. Searching each new piece once for
  // the line end takes time in proportion to the line; searching the whole
  // line so far again after every read, in proportion to its square: eight
  // times the length would take 64 times as long (about 30 times, measured).
  // A ratio of processor times holds on a busy machine and in a sanitizer
  // build, where a time limit does not.
  const double small = seconds_to_read(4 << 20), large = seconds_to_read(32 << 20);
  EXPECT_LT(large, 20 * small) << small << " s for 4 MiB, " << large << " s for 32 MiB";
}

TEST_F(FileRoundTrip, OutputEmptiesAndAppendAddsOrCreates) {
  write_raw("f", "old line\r\n");
  ASSERT_TRUE(file_open(1, path("f"), FileMode::Output));
  ASSERT_TRUE(file_close(1));
  EXPECT_EQ(read_raw("f"), "");

  write_raw("g", "old\r\n");
  ASSERT_TRUE(file_open(1, path("g"), FileMode::Append));
  file_print(1, "new");
  ASSERT_TRUE(file_open(2, path("h"), FileMode::Append));
  file_print(2, "created");
  file_close_all();
  EXPECT_FALSE(file_is_open(1));
  EXPECT_FALSE(file_is_open(2));
  EXPECT_EQ(read_raw("g"), "old\r\nnew\r\n");
  EXPECT_EQ(read_raw("h"), "created\r\n");
}

TEST_F(FileRoundTrip, UnbufferedLinesAreInTheFileAtOnce) {
  ASSERT_TRUE(file_open(1, path("image.img"), FileMode::Append));
  file_print(1, "SCREEN 8");
  EXPECT_EQ(read_raw("image.img"), "SCREEN 8\r\n");
  file_print(1, "line ( 1 , 2 )-( 3 , 4 ),  7");
  EXPECT_EQ(read_raw("image.img"), "SCREEN 8\r\nline ( 1 , 2 )-( 3 , 4 ),  7\r\n");
}

TEST_F(FileRoundTrip, BufferedLinesArriveBySyncOrClose) {
  ASSERT_TRUE(file_open(2, path("saved.bas"), FileMode::Output, FileBuffering::Buffered));
  file_print(2, "a");
  EXPECT_TRUE(file_sync(2));
  EXPECT_EQ(read_raw("saved.bas"), "a\r\n");
  file_print(2, "b");
  file_flush_all();
  EXPECT_EQ(read_raw("saved.bas"), "a\r\nb\r\n");
  file_print(2, "c");
  EXPECT_TRUE(file_close(2));
  EXPECT_EQ(read_raw("saved.bas"), "a\r\nb\r\nc\r\n");
}

TEST_F(FileRoundTrip, TrailingBlanksOfNamesAreRemoved) {
  const std::string padded = path("JOESFILE") + std::string(60, ' ');
  ASSERT_TRUE(file_open(2, padded, FileMode::Output));
  file_close(2);
  EXPECT_TRUE(std::filesystem::exists(path("JOESFILE")));
  EXPECT_TRUE(file_delete(padded));
  EXPECT_FALSE(std::filesystem::exists(path("JOESFILE")));
  EXPECT_EQ(trim_file_name("  a b  "), "  a b");
  EXPECT_TRUE(raised_errors().empty());
}

}  // namespace
