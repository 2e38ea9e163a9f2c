// The owner map and the redraw with a change, against references built
// another way: each shape drawn alone on a page of a value no colour has,
// fills by what they change in the redraw of the lines before and up to
// them, texts by their cells; and the changed redraw against the plain
// reader on the rewritten journal, whose action must read back as wanted.
#include "imageformat/owners.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"
#include "imageformat/format.h"
#include "imageformat/journal.h"
#include "imageformat/statement_edit.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

using Lines = std::vector<std::string>;
constexpr size_t kPixels = 640 * 200;

std::vector<uint8_t> Page(int page) {
  const GfxScreen* s = gfx_screen();
  return {s->pages[page], s->pages[page] + kPixels};
}

// Draws lines from a cleared page 1 and a fresh pen as a load does.
std::vector<uint8_t> Redraw(const Lines& lines) {
  set_pages(1, 0);
  LINE(0, 0, 639, 199, 0, kLineBoxFilled, 0xFFFF, 0);
  text_state() = TextState{};
  size_t at = 0;
  ReadImage({[&](std::string_view* line) {
               if (at == lines.size()) return false;
               *line = lines[at++];
               return true;
             },
             [](std::string_view) {}});
  return Page(1);
}

struct Rng {
  std::mt19937 g;
  int In(int lo, int hi) { return lo + static_cast<int>(g() % unsigned(hi - lo + 1)); }
};

// A drawing of shapes, texts and fills in the editor's form and written
// by hand, many overlapping in the middle of the screen.
Lines RandomDrawing(Rng& r) {
  Lines out = {"SCREEN 8"};
  const Lines& block = DprintBlockLines();
  out.insert(out.end(), block.begin(), block.end());
  for (int n = r.In(5, 40); n > 0; --n) {
    const int x = r.In(-20, 660), y = r.In(-10, 210), c = r.In(0, 15);
    const int x2 = x + r.In(-80, 80), y2 = y + r.In(-40, 40);
    const std::string xy = std::to_string(x) + "," + std::to_string(y);
    switch (r.In(0, 9)) {
      case 0:
        out.push_back(LineStatement(x, y, x2, y2, c));
        break;
      case 1:
        out.push_back(BoxStatement(x, y, x2, y2, c));
        break;
      case 2:
        out.push_back(FilledBoxStatement(x, y, x2, y2, c));
        break;
      case 3:
        out.push_back(CircleStatement(x, y, r.In(1, 60), c, float(r.In(1, 30)) / 10.0f));
        break;
      case 4:  // far ends too, cut at the screen's edges
        out.push_back("LINE (" + xy + ")-(" + std::to_string(r.In(0, 1) ? x2 : r.In(-9000, 9000)) +
                      ", " + std::to_string(r.In(0, 1) ? y2 : r.In(-3000, 3000)) + "), " +
                      std::to_string(c) + (r.In(0, 1) ? ", B" : ""));
        break;
      case 5:
        out.push_back("Circle (" + xy + "), " + std::to_string(r.In(1, 40)) + ", " +
                      std::to_string(c) + ",,, .5");
        break;
      case 6:
        out.push_back(PaintStatement(r.In(0, 639), r.In(0, 199), c, r.In(0, 15)));
        break;
      case 7:
        out.push_back("PAINT (" + xy + "), " + std::to_string(c));
        break;
      case 8:
        for (std::string& line : TextGroup("HI THERE", c, y, x)) out.push_back(line);
        break;
      default:  // a text that keeps the position the one before left
        out.insert(out.end(), {"PRINT$ = \"ab\"", "Fcolor = " + std::to_string(c), "gosub Dprint"});
    }
  }
  return out;
}

class OwnersTest : public Mode8Test {
 protected:
  void SetUp() override {
    Mode8Test::SetUp();
    path_ = (std::filesystem::temp_directory_path() / ("kov1-owners-" + std::to_string(getpid())))
                .string();
  }
  void TearDown() override {
    JournalClose();
    std::filesystem::remove(path_);
    Mode8Test::TearDown();
  }
  // The lines after "SCREEN 8", which the first append to an empty
  // journal brings with it.
  void UseJournal(const Lines& lines) {
    ASSERT_TRUE(JournalUse(path_, true));
    ASSERT_TRUE(JournalAppendLines(Lines(lines.begin() + 1, lines.end())));
  }
  std::string path_;
};

// The pixels action a of the scene writes, found the reference way.
std::vector<uint8_t> Written(const Scene& s, const Lines& lines, const DrawnAction& a) {
  const size_t trigger = a.first + a.count - 1;
  const Lines before(lines.begin(), lines.begin() + static_cast<long>(trigger));
  std::vector<uint8_t> mask(kPixels, 0);
  if (a.shape.kind == StatementKind::Paint) {
    const std::vector<uint8_t> was = Redraw(before);
    const std::vector<uint8_t> now =
        Redraw(Lines(lines.begin(), lines.begin() + static_cast<long>(trigger) + 1));
    for (size_t i = 0; i < kPixels; ++i) mask[i] = was[i] != now[i];
  } else if (a.shape.kind == StatementKind::Dprint) {
    Redraw(before);
    EXPECT_EQ(text_state().wx, a.shape.x1);
    EXPECT_EQ(text_state().wy, a.shape.y1);
    for (int y = 0; y < 200; ++y) {
      for (int x = 0; x < 640; ++x) {
        const long long dx = x - a.shape.x1, dy = y - a.shape.y1, n = a.shape.text.size();
        mask[size_t(y) * 640 + size_t(x)] = dx >= 0 && dx <= 7 * n && dy >= 0 && dy <= 6 && n > 0;
      }
    }
  } else {
    set_pages(1, 0);
    std::memset(gfx_screen()->pages[1], 0x80, kPixels);
    DrawStatement(ReadStatement(SceneLine(s, trigger)));
    const std::vector<uint8_t> page = Page(1);
    for (size_t i = 0; i < kPixels; ++i) mask[i] = page[i] != 0x80;
  }
  return mask;
}

TEST_F(OwnersTest, EveryPixelIsOwnedByTheLastActionThatWroteIt) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Rng r{std::mt19937(seed)};
    const Lines lines = RandomDrawing(r);
    UseJournal(lines);
    const int px = r.In(200, 440), py = r.In(50, 150);
    Scene s;
    set_pages(1, 0);
    ASSERT_TRUE(BuildScene(&s, px, py));
    ASSERT_EQ(Page(1), Redraw(lines)) << "seed " << seed;
    std::vector<int> owners(kPixels, -1), writers;
    for (size_t k = 0; k < s.actions.size(); ++k) {
      const std::vector<uint8_t> mask = Written(s, lines, s.actions[k]);
      for (size_t i = 0; i < kPixels; ++i) {
        if (mask[i]) owners[i] = static_cast<int>(k);
      }
      if (mask[size_t(py) * 640 + size_t(px)]) writers.push_back(static_cast<int>(k));
    }
    for (size_t i = 0, shown = 0; i < kPixels && shown < 5; ++i) {
      if (s.owners[i] == owners[i]) continue;
      ++shown;
      ADD_FAILURE() << "seed " << seed << " pixel " << i % 640 << "," << i / 640 << " owner "
                    << s.owners[i] << " want " << owners[i] << ": "
                    << (owners[i] >= 0 ? lines[s.actions[size_t(owners[i])].first] : "") << " / "
                    << (s.owners[i] >= 0 ? lines[s.actions[size_t(s.owners[i])].first] : "");
    }
    EXPECT_EQ(s.writers, writers) << "seed " << seed;
  }
}

TEST_F(OwnersTest, TheChangedRedrawIsTheRewrittenJournalRedrawn) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Rng r{std::mt19937(seed)};
    const Lines lines = RandomDrawing(r);
    UseJournal(lines);
    Scene s;
    set_pages(1, 0);
    ASSERT_TRUE(BuildScene(&s, 0, 0));
    if (s.actions.empty()) continue;
    const size_t k = static_cast<size_t>(r.In(0, int(s.actions.size()) - 1));
    const DrawnAction& a = s.actions[k];
    const Lines old(lines.begin() + static_cast<long>(a.first),
                    lines.begin() + static_cast<long>(a.first + a.count));
    Statement want = ResolvedFill(a.shape);
    const int change = r.In(0, 2);
    if (change == 0) want = Moved(want, 3, -1);
    if (change == 1) want = Recoloured(want, (want.colour + 5) & 15);
    const Lines now = change == 2 ? Lines{} : EditActionLines(old, a.shape, want);
    Lines edited(lines.begin(), lines.begin() + static_cast<long>(a.first));
    edited.insert(edited.end(), now.begin(), now.end());
    edited.insert(edited.end(), lines.begin() + static_cast<long>(a.first + a.count), lines.end());
    std::vector<uint8_t> mark;
    set_pages(1, 0);
    RedrawChanged(s, k, now, &mark);
    ASSERT_EQ(Page(1), Redraw(edited)) << "seed " << seed << ": " << old[0];
    if (change == 2) continue;
    UseJournal(edited);
    Scene again;
    ASSERT_TRUE(BuildScene(&again, 0, 0));
    Statement got = ResolvedFill(again.actions[k].shape);
    if (want.kind != StatementKind::Ellipse) got.aspect = want.aspect;
    if (want.kind != StatementKind::Paint) got.px = want.px, got.py = want.py;
    EXPECT_EQ(
        std::tie(got.kind, got.x1, got.y1, got.colour, got.radius, got.aspect, got.text),
        std::tie(want.kind, want.x1, want.y1, want.colour, want.radius, want.aspect, want.text))
        << "seed " << seed << ": " << old.back() << " became " << now.back();
  }
}

// A line written by hand changes only its numbers; one whose colour the
// rules read otherwise than it looks becomes the editor's line.
TEST(StatementEditTest, HandWrittenLinesKeepTheirForm) {
  auto moved = [](const std::string& line, int dx) {
    const Statement was = ReadStatement(line);
    return EditActionLines({line}, was, Moved(ResolvedFill(was), dx, 0));
  };
  auto recoloured = [](const std::string& line, int colour) {
    const Statement was = ReadStatement(line);
    return EditActionLines({line}, was, Recoloured(ResolvedFill(was), colour));
  };
  EXPECT_EQ(moved("LINE (1,2)-(3,4),7,B", 1), Lines{"LINE (2,2)-(4,4),7,B"});
  EXPECT_EQ(moved("CIRCLE (100,50),20, 3,,,.5", 2), Lines{"CIRCLE (102,50),20, 3,,,.5"});
  EXPECT_EQ(recoloured("Paint (100, 50), 4", 9), Lines{"Paint (100, 50), 9"});
  EXPECT_EQ(moved("line ( 10,  20)-( 99, 50),  7", 1), Lines{"line ( 11,  20)-( 100, 50),  7"});
  // Read as colour 5 (the digit after the comma is skipped): written anew
  // so that it reads as colour 7.
  EXPECT_EQ(recoloured("LINE (1,2)-(3,4),15", 7), Lines{"line ( 1,  2)-( 3, 4),       7"});
}

}  // namespace
