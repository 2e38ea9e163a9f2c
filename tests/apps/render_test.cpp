// End-to-end tests of kov1-render: drawings written here go through the
// executable, and the PNG it writes is read back and compared, pixel for
// pixel, with the expected page.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scratch_folder.h"

namespace fs = std::filesystem;

namespace {

// The 16 colours of the screen as R, G, B.
const uint8_t kRgb[16][3] = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},   {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},   {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255},
};

// The expected 640 x 200 page, one palette index per pixel.
struct Page {
  std::vector<uint8_t> px = std::vector<uint8_t>(640 * 200, 0);
  // Puts a picture at (x0, y0): one string per row, '.' for 0, hex digits.
  void Put(int x0, int y0, const std::vector<std::string>& rows) {
    for (size_t r = 0; r < rows.size(); ++r) {
      for (size_t c = 0; c < rows[r].size(); ++c) {
        const char ch = rows[r][c];
        const int v = ch == '.' ? 0 : ch <= '9' ? ch - '0' : ch - 'A' + 10;
        px[(static_cast<size_t>(y0) + r) * 640 + static_cast<size_t>(x0) + c] =
            static_cast<uint8_t>(v);
      }
    }
  }
  void Row(int x1, int x2, int y, int colour) {
    for (int x = x1; x <= x2; ++x)
      px[static_cast<size_t>(y) * 640 + static_cast<size_t>(x)] = static_cast<uint8_t>(colour);
  }
  void Column(int x, int y1, int y2, int colour) {
    for (int y = y1; y <= y2; ++y) Row(x, x, y, colour);
  }
};

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

bool ReadPng(const fs::path& path, Picture* picture) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGB;
  picture->width = static_cast<int>(png.width);
  picture->height = static_cast<int>(png.height);
  picture->rgb.resize(PNG_IMAGE_SIZE(png));
  return png_image_finish_read(&png, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

struct Crop {
  int x = 0, y = 0, width = 640, height = 200;
};

// Every pixel of the PNG against the cropped page: each page row on
// 2 * scale rows, each pixel on scale columns.
::testing::AssertionResult Shows(const fs::path& path, const Page& page, int scale,
                                 Crop crop = {}) {
  Picture p;
  if (!ReadPng(path, &p)) return ::testing::AssertionFailure() << "no readable PNG";
  if (p.width != crop.width * scale || p.height != 2 * crop.height * scale) {
    return ::testing::AssertionFailure() << "size " << p.width << "x" << p.height;
  }
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const int v = page.px[static_cast<size_t>(crop.y + y / (2 * scale)) * 640 +
                            static_cast<size_t>(crop.x + x / scale)];
      const uint8_t* got =
          &p.rgb[(static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)) *
                 3];
      if (!std::equal(got, got + 3, kRgb[v])) {
        return ::testing::AssertionFailure()
               << "PNG pixel (" << x << ", " << y << ") is " << int{got[0]} << "," << int{got[1]}
               << "," << int{got[2]} << ", expected colour " << v;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

struct Result {
  int status = -1;
  std::string err;
};

Result Render(const std::vector<std::string>& args) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipe_fds[1], STDERR_FILENO);
    close(pipe_fds[0]);
    std::vector<char*> argv{const_cast<char*>(KOV1_RENDER_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(KOV1_RENDER_PATH, argv.data());
    _exit(127);
  }
  close(pipe_fds[1]);
  Result r;
  char buffer[256];
  for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;)
    r.err.append(buffer, static_cast<size_t>(n));
  close(pipe_fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class RenderTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return (dir_ / name).string();
  }
  std::string Out() const { return (dir_ / "out.png").string(); }

  ScratchFolder scratch_{"kov1-render"};
  const fs::path dir_ = scratch_.dir();
};

// Shapes on every edge of the screen, where the editor's border and help
// line would stand, with CR LF line ends.
const char kShapes[] =
    "SCREEN 8\r\n"
    "line ( 10,  20)-( 14, 20),  4\r\n"
    "line ( 3,  5)-( 3, 7),  14\r\n"
    "line ( 30,  5)-( 33, 8),  9,b\r\n"
    "line ( 42,  6)-( 40, 5),  2,bf\r\n"
    "line ( 0,  0)-( 639, 0),  4\r\n"
    "line ( 0,  199)-( 639, 199),  12\r\n"
    "line ( 639,  1)-( 639, 198),  13\r\n"
    "line ( 0,  194)-( 0, 198),  7\r\n";

Page ShapesPage() {
  Page page;
  page.Row(10, 14, 20, 4);
  page.Column(3, 5, 7, 14);
  page.Put(30, 5, {"9999", "9..9", "9..9", "9999"});
  page.Put(40, 5, {"222", "222"});
  page.Row(0, 639, 0, 4);
  page.Row(0, 639, 199, 12);
  page.Column(639, 1, 198, 13);
  page.Column(0, 194, 198, 7);
  return page;
}

TEST_F(RenderTest, ShapesInTheirColoursWithEveryRowTwice) {
  const std::string in = Write("shapes.bas", kShapes);
  Result r = Render({in, Out()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(Shows(Out(), ShapesPage(), 1));
}

TEST_F(RenderTest, ScaleEnlargesBothDirections) {
  const std::string in = Write("shapes.bas", kShapes);
  for (int scale : {2, 8}) {
    Result r = Render({"--scale", std::to_string(scale), in, Out()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Shows(Out(), ShapesPage(), scale)) << "scale " << scale;
  }
}

// A crop keeps its part of the page, rows still doubled, at any scale; the
// screen's last column and row can be reached.
TEST_F(RenderTest, CropKeepsAPartOfThePage) {
  const std::string in = Write("shapes.bas", kShapes);
  const std::vector<std::pair<Crop, int>> cases = {
      {{28, 4, 16, 5}, 16}, {{0, 0, 1, 1}, 1}, {{630, 190, 10, 10}, 3}, {{0, 0, 640, 200}, 1}};
  for (const auto& [crop, scale] : cases) {
    const std::string box = std::to_string(crop.x) + "," + std::to_string(crop.y) + "," +
                            std::to_string(crop.width) + "," + std::to_string(crop.height);
    Result r = Render({in, Out(), "--crop", box, "--scale", std::to_string(scale)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Shows(Out(), ShapesPage(), scale, crop)) << box << " at " << scale;
  }
}

TEST_F(RenderTest, EmptyDrawingsAreBlackWithoutHelpLineOrBorder) {
  Page black;
  for (const char* bytes : {"SCREEN 8\r\n", ""}) {
    Result r = Render({Write("empty.bas", bytes), Out()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Shows(Out(), black, 1)) << '"' << bytes << '"';
  }
}

// A text group over a filled box: each cell is cleared to black, then its
// glyph drawn; a second "gosub Dprint" draws the same text on the next text
// row at the left. LF and CR LF line ends mix; the last line has none. The
// line inside the generated block is skipped, not drawn.
TEST_F(RenderTest, TextGroupsAsTheSavedProgramDrawsThem) {
  const std::string in = Write("text.bas",
                               "SCREEN 8\n"
                               "line ( 48,  58)-( 70, 70),  1,bf\r\n"
                               "GoTo EndAbc\r\n"
                               "LINE (collom, row)-(collom + 3, row), Fcolor\r\n"
                               "EndAbc:\r\n"
                               "PrintFlarp$ = \"hi\"\n"
                               "Fcolor =  2\r\n"
                               "wy =  60\n"
                               "wx =  50\r\n"
                               "gosub Dprint\r\n"
                               "gosub Dprint");
  Result r = Render({in, Out()});
  ASSERT_EQ(r.status, 0) << r.err;
  Page page;
  const std::vector<std::string> hi = {
      "2...2..22222...", "2...2....2.....", "22222....2.....", "2...2....2.....",
      "2...2..22222...", "...............", "...............",
  };
  page.Put(48, 58, std::vector<std::string>(13, std::string(23, '1')));
  page.Put(50, 60, hi);
  page.Put(1, 67, hi);
  EXPECT_TRUE(Shows(Out(), page, 1));
}

// Fills: up to their border, or with the border left out up to their own
// colour, in the editor's form and written by hand. Malformed lines (no
// delimiters, no colour, off the screen, huge numbers) paint nothing.
TEST_F(RenderTest, PaintLinesFillUpToTheirBorder) {
  const std::string in = Write("paint.bas",
                               "SCREEN 8\r\n"
                               "line ( 10,  10)-( 20, 15),  4,b\r\n"
                               "paint ( 15,  12),           2,            4\r\n"
                               "line ( 30,  10)-( 36, 14),  5,b\r\n"
                               "Paint (33, 12), 6, 5\r\n"
                               "line ( 50,  10)-( 56, 14),  14,b\r\n"
                               "PAINT(53,12),14\r\n"
                               "PAINT(\r\n"
                               "PAINT(50\r\n"
                               "PAINT(40,12),0\r\n"
                               "PAINT(40,12),,,\r\n"
                               "paint ( 99999999999,  5),  1,  1\r\n"
                               "PAINT(-1,5),1,2\r\n"
                               "PAINT(5,1e40),1,2\r\n");
  Result r = Render({in, Out()});
  ASSERT_EQ(r.status, 0) << r.err;
  Page page;
  auto box = [&page](int x1, int y1, int x2, int y2, int edge, int inside) {
    for (int y = y1; y <= y2; ++y) page.Row(x1, x2, y, y == y1 || y == y2 ? edge : inside);
    page.Column(x1, y1, y2, edge);
    page.Column(x2, y1, y2, edge);
  };
  box(10, 10, 20, 15, 4, 2);
  box(30, 10, 36, 14, 5, 6);
  box(50, 10, 56, 14, 14, 14);
  EXPECT_TRUE(Shows(Out(), page, 1));
}

// Every failure: a one-line message, its status, and no OUT left behind;
// an OUT that was there stays as it was, and no temporary file stays.
TEST_F(RenderTest, FailuresWriteNothing) {
  const std::string in = Write("shapes.bas", kShapes);
  const std::string missing = (dir_ / "missing.bas").string();
  fs::create_directory(dir_ / "folder");
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  const std::string kept = Write("kept.png", "old");
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const std::vector<Case> cases = {
      {{}, 2},
      {{in}, 2},
      {{in, Out(), "extra"}, 2},
      {{in, Out(), "--scale"}, 2},
      {{in, Out(), "--scale", "0"}, 2},
      {{in, Out(), "--scale", "17"}, 2},
      {{in, Out(), "--scale", "02"}, 2},
      {{in, Out(), "--scale", "+2"}, 2},
      {{in, Out(), "--scale", "2.5"}, 2},
      {{in, Out(), "--scale", "x"}, 2},
      {{in, Out(), "--scale", ""}, 2},
      {{in, Out(), "--scale", "2", "--scale", "2"}, 2},
      {{in, Out(), "--size", "2"}, 2},
      {{in, Out(), "--crop"}, 2},
      {{in, Out(), "--crop", "0,0,16"}, 2},
      {{in, Out(), "--crop", "0,0,16,8,"}, 2},
      {{in, Out(), "--crop", "0,0,0,8"}, 2},
      {{in, Out(), "--crop", "-1,0,16,8"}, 2},
      {{in, Out(), "--crop", "630,0,11,8"}, 2},
      {{in, Out(), "--crop", "0,193,16,8"}, 2},
      {{in, Out(), "--crop", "0, 0,16,8"}, 2},
      {{in, Out(), "--crop", "0,0,99999999999999999999,8"}, 2},
      {{in, Out(), "--crop", "0,0,8,8", "--crop", "0,0,8,8"}, 2},
      {{missing, Out()}, 1},
      {{(dir_ / "folder").string(), Out()}, 1},
      {{(dir_ / "fifo").string(), Out()}, 1},
      {{in, (dir_ / "no" / "out.png").string()}, 1},
      {{in, (dir_ / "shapes.bas" / "out.png").string()}, 1},
      {{in, (dir_ / "folder").string()}, 1},
      {{missing, kept}, 1},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += " '" + a + "'";
    Result r = Render(c.args);
    EXPECT_EQ(r.status, c.status) << shown;
    EXPECT_TRUE(r.err.starts_with("kov1-render: ")) << shown << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << ": " << r.err;
    EXPECT_TRUE(r.err.ends_with("\n")) << shown;
  }
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_)) left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"fifo", "folder", "kept.png", "shapes.bas"}));
  EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
  std::ifstream old(kept);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "old");
}

}  // namespace
