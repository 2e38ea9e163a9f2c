// The journal redrawn with the owner of every pixel: each line read and
// applied as the reader does, and after each action the pixels it wrote
// found (boxes and texts by their geometry, lines and ellipses drawn once
// more in another colour, fills by what they changed).
#include "imageformat/owners.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"

namespace {

constexpr int kWidth = 640, kHeight = 200;
constexpr size_t kPixels = size_t{kWidth} * kHeight;

uint8_t* Row(int y) {
  return draw_context()->rows[static_cast<size_t>(y)];
}

void CopyWorkPage(std::vector<uint8_t>* pixels) {
  pixels->resize(kPixels);
  for (int y = 0; y < kHeight; ++y) std::memcpy(&(*pixels)[size_t(y) * kWidth], Row(y), kWidth);
}

void PutWorkPage(const std::vector<uint8_t>& pixels) {
  lock_screen();
  for (int y = 0; y < kHeight; ++y) std::memcpy(Row(y), &pixels[size_t(y) * kWidth], kWidth);
  unlock_screen(0, kHeight - 1);
}

struct PixelRun {
  int y, x1, x2;
};

struct Box {
  int x1, y1, x2, y2;  // inclusive; empty when x1 > x2 or y1 > y2
};

Box Clip(long long x1, long long y1, long long x2, long long y2) {
  auto cut = [](long long v, int hi) { return static_cast<int>(std::clamp<long long>(v, 0, hi)); };
  if (x2 < 0 || y2 < 0 || x1 >= kWidth || y1 >= kHeight || x1 > x2 || y1 > y2) return {1, 1, 0, 0};
  return {cut(x1, kWidth - 1), cut(y1, kHeight - 1), cut(x2, kWidth - 1), cut(y2, kHeight - 1)};
}

// Where a shape can draw: its corners, or its ellipse's half-axes as
// CIRCLE takes them from radius and aspect, with a pixel to spare.
Box ShapeBox(const Statement& st) {
  if (st.kind != StatementKind::Ellipse) {
    return Clip(std::min(st.x1, st.x2), std::min(st.y1, st.y2), std::max(st.x1, st.x2),
                std::max(st.y1, st.y2));
  }
  const float r = static_cast<float>(st.radius);
  const float aspect = static_cast<float>(std::clamp(st.aspect, -3.4e38, 3.4e38));
  float a = r, b = r * aspect;
  if (aspect > 1) a = r / aspect, b = r;
  const double ha = std::fabs(double{a}) + 2, hb = std::fabs(double{b}) + 2;
  if (!(r > 0) || aspect == 0 || !(ha < 1e6) || !(hb < 1e6)) return Clip(0, 0, 1e9, 1e9);
  return Clip(std::llround(st.x1 - ha), std::llround(st.y1 - hb), std::llround(st.x1 + ha),
              std::llround(st.y1 + hb));
}

// Adds the runs of columns x1..x2 of a row where it differs from `was`;
// eight equal pixels at a time are passed over at once.
void AddChanged(const uint8_t* row, const uint8_t* was, int y, int x1, int x2,
                std::vector<PixelRun>* out) {
  for (int x = x1; x <= x2;) {
    uint64_t a, b;
    if (x + 7 <= x2) {
      std::memcpy(&a, row + x, 8);
      std::memcpy(&b, was + x, 8);
      if (a == b) {
        x += 8;
        continue;
      }
    }
    if (row[x] != was[x]) {
      if (!out->empty() && out->back().y == y && out->back().x2 == x - 1) {
        out->back().x2 = x;
      } else {
        out->push_back({y, x, x});
      }
    }
    ++x;
  }
}

// Adds the runs of pixels of the spans that differ from `was` (a page's
// worth, row after row) and puts those spans of the page back.
void DiffRuns(const std::vector<uint8_t>& was, const std::vector<Box>& spans,
              std::vector<PixelRun>* out) {
  for (const Box& span : spans) {
    for (int y = span.y1; y <= span.y2; ++y) {
      uint8_t* row = Row(y);
      const uint8_t* old = &was[size_t(y) * kWidth];
      AddChanged(row, old, y, span.x1, span.x2, out);
      std::memcpy(row + span.x1, old + span.x1, static_cast<size_t>(span.x2 - span.x1 + 1));
    }
  }
}

// Where a line can have drawn in each row: within two rows of the exact
// line, and three columns to spare. A line cut at the screen's edges
// starts from rounded ends, which can move its steps from row to row along
// a flat line by many columns but never by a whole row.
void LineSpans(const Statement& st, const Box& b, std::vector<Box>* spans) {
  const double dy = st.y2 - st.y1, dx = st.x2 - st.x1;
  spans->clear();
  if (dy == 0) {
    spans->push_back(b);
    return;
  }
  for (int y = b.y1; y <= b.y2; ++y) {
    const double xa = st.x1 + (y - st.y1 - 2) * dx / dy, xb = st.x1 + (y - st.y1 + 2) * dx / dy;
    const int lo = std::max(b.x1, static_cast<int>(std::floor(std::min(xa, xb))) - 3);
    const int hi = std::min(b.x2, static_cast<int>(std::ceil(std::max(xa, xb))) + 3);
    if (lo <= hi) spans->push_back({lo, y, hi, y});
  }
}

// A box's pixels as LINE draws them: the whole clipped box when filled,
// else its edges that lie on the screen.
void BoxRuns(const Statement& st, std::vector<PixelRun>* out) {
  const int x1 = std::min(st.x1, st.x2), x2 = std::max(st.x1, st.x2);
  const int y1 = std::min(st.y1, st.y2), y2 = std::max(st.y1, st.y2);
  const Box b = Clip(x1, y1, x2, y2);
  if (b.x1 > b.x2 || b.y1 > b.y2) return;
  for (int y = b.y1; y <= b.y2; ++y) {
    if (st.kind == StatementKind::FilledBox || y == y1 || y == y2) {
      out->push_back({y, b.x1, b.x2});
      continue;
    }
    if (x1 >= 0) out->push_back({y, x1, x1});
    if (x2 < kWidth && x2 != x1) out->push_back({y, x2, x2});
  }
}

// The pixels a shape just drawn wrote. Lines and ellipses are drawn once
// more in another colour: the pixels that change are theirs; then the page
// is put back.
void ShapeRuns(const Statement& st, std::vector<PixelRun>* out) {
  if (st.kind == StatementKind::Box || st.kind == StatementKind::FilledBox) {
    BoxRuns(st, out);
    return;
  }
  const Box b = ShapeBox(st);
  if (b.x1 > b.x2 || b.y1 > b.y2) return;
  // Kept from one shape to the next: a page's worth, and the spans.
  static std::vector<uint8_t> kept(kPixels);
  static std::vector<Box> spans;
  if (st.kind == StatementKind::Line) {
    LineSpans(st, b, &spans);
  } else {
    spans.assign(1, b);
  }
  lock_screen();
  for (const Box& span : spans) {
    for (int y = span.y1; y <= span.y2; ++y) {
      std::memcpy(&kept[size_t(y) * kWidth + size_t(span.x1)], Row(y) + span.x1,
                  static_cast<size_t>(span.x2 - span.x1 + 1));
    }
  }
  Statement other = st;
  other.colour = static_cast<int>(mask_colour(gfx_screen(), static_cast<uint32_t>(st.colour)) ^ 1);
  DrawStatement(other);
  DiffRuns(kept, spans, out);
  unlock_screen_unflagged();
}

// A text's character cells, 8 x 7 pixels every 7 pixels along the row.
void TextRuns(const Statement& st, std::vector<PixelRun>* out) {
  const long long n = static_cast<long long>(st.text.size());
  if (n == 0) return;
  const Box b = Clip(st.x1, st.y1, st.x1 + 7 * n, st.y1 + 6);
  for (int y = b.y1; y <= b.y2 && b.x1 <= b.x2; ++y) out->push_back({y, b.x1, b.x2});
}

void ChangedRuns(const std::vector<uint8_t>& before, std::vector<PixelRun>* out) {
  for (int y = 0; y < kHeight; ++y) {
    const uint8_t* row = Row(y);
    const uint8_t* was = &before[size_t(y) * kWidth];
    if (std::memcmp(row, was, kWidth) == 0) continue;
    AddChanged(row, was, y, 0, kWidth - 1, out);
  }
}

bool TextStateLine(StatementKind k) {
  return k == StatementKind::Text || k == StatementKind::Wx || k == StatementKind::Wy ||
         k == StatementKind::Fcolor;
}

// Draws the lines on the work page as ReadImage does, from the text state
// as it stands and the pending text given, telling t what is drawn:
// t.before_line(i, pending) before each line; t.action(trigger, first, st)
// for each action as its line is reached (true to learn its pixels);
// t.written(trigger, runs) with them.
template <typename Tracking>
void DrawTracked(const std::vector<std::string_view>& lines, std::string pending, Tracking& t) {
  bool in_block = false;
  size_t group_first = SIZE_MAX;
  std::vector<uint8_t> before_fill;
  std::vector<PixelRun> runs;
  for (size_t i = 0; i < lines.size(); ++i) {
    t.before_line(i, pending);
    Statement st = ReadStatement(lines[i]);
    if (in_block) {
      in_block = st.kind != StatementKind::BlockEnd;
      continue;
    }
    const size_t first = group_first == SIZE_MAX ? i : group_first;
    group_first = TextStateLine(st.kind) ? first : SIZE_MAX;
    in_block = st.kind == StatementKind::BlockStart;
    const bool text = st.kind == StatementKind::Dprint;
    if (text) {
      const TextState& pen = text_state();
      st.x1 = pen.wx, st.y1 = pen.wy, st.colour = pen.Fcolor, st.text = pending;
    }
    const bool tracked = (text || IsShape(st.kind)) && t.action(i, first, st);
    if (tracked && st.kind == StatementKind::Paint) CopyWorkPage(&before_fill);
    ApplyStatement(st, &pending);
    if (!tracked) continue;
    runs.clear();
    if (text) {
      TextRuns(st, &runs);
    } else if (st.kind == StatementKind::Paint) {
      ChangedRuns(before_fill, &runs);
    } else {
      ShapeRuns(st, &runs);
    }
    t.written(i, runs);
  }
}

void ClearWorkPage() {
  LINE(0, 0, kWidth - 1, kHeight - 1, 0, kLineBoxFilled, 0xFFFF, 0);
}

std::vector<std::string_view> SceneLines(const Scene& s, size_t from, size_t to) {
  std::vector<std::string_view> lines;
  for (size_t i = from; i < to; ++i) lines.push_back(SceneLine(s, i));
  return lines;
}

// Builds a scene: its actions, owners and checkpoints, and the writers of
// the probe pixel.
struct OwnerTracking {
  Scene& s;
  size_t every;
  int probe_x, probe_y;
  size_t last_checkpoint = 0, checkpoints = 0;

  void before_line(size_t line, const std::string& pending) {
    if (line != 0 && line - last_checkpoint < every) return;
    // Only between actions: a shape line, or the first line.
    if (line != 0 && !IsShape(ReadStatement(SceneLine(s, line)).kind)) return;
    last_checkpoint = line;
    if (checkpoints == s.checkpoints.size()) s.checkpoints.emplace_back();
    SceneCheckpoint& c = s.checkpoints[checkpoints++];
    c.line = line, c.pen = text_state(), c.pending = pending;
    CopyWorkPage(&c.pixels);
  }
  bool action(size_t trigger, size_t first, const Statement& st) {
    s.actions.push_back({first, trigger + 1 - first, st});
    return true;
  }
  void written(size_t, const std::vector<PixelRun>& runs) {
    const int a = static_cast<int>(s.actions.size() - 1);
    bool probed = false;
    for (const PixelRun& r : runs) {
      std::fill_n(&s.owners[size_t(r.y) * kWidth + size_t(r.x1)], r.x2 - r.x1 + 1, a);
      probed = probed || (r.y == probe_y && r.x1 <= probe_x && probe_x <= r.x2);
    }
    if (probed) s.writers.push_back(a);
  }
};

// Marks the pixels of the lines changed_first .. changed_end - 1.
struct MarkTracking {
  size_t changed_first, changed_end;
  std::vector<uint8_t>* mark;

  void before_line(size_t, const std::string&) {}
  bool action(size_t trigger, size_t, const Statement&) const {
    return trigger >= changed_first && trigger < changed_end;
  }
  void written(size_t, const std::vector<PixelRun>& runs) {
    for (const PixelRun& r : runs) {
      std::fill_n(&(*mark)[size_t(r.y) * kWidth + size_t(r.x1)], r.x2 - r.x1 + 1, uint8_t{1});
    }
  }
};

}  // namespace

std::string_view SceneLine(const Scene& scene, size_t i) {
  std::string_view line(scene.bytes.data() + scene.starts[i],
                        scene.starts[i + 1] - scene.starts[i]);
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

size_t ActionOffset(const Scene& scene, const DrawnAction& a) {
  return scene.starts[a.first];
}

size_t ActionLength(const Scene& scene, const DrawnAction& a) {
  return scene.starts[a.first + a.count] - scene.starts[a.first];
}

bool BuildScene(Scene* scene, int probe_x, int probe_y) {
  Scene& s = *scene;
  // The storage of an earlier scene is used again.
  s.starts.clear();
  s.actions.clear();
  s.writers.clear();
  if (!JournalBytesFrom(0, &s.bytes)) return false;
  for (size_t at = 0; at < s.bytes.size();) {
    s.starts.push_back(at);
    const size_t lf = s.bytes.find('\n', at);
    at = lf == std::string::npos ? s.bytes.size() : lf + 1;
  }
  const size_t n = s.starts.size();
  s.starts.push_back(s.bytes.size());
  s.owners.assign(kPixels, -1);
  OwnerTracking t{s, std::max<size_t>(256, n / 32), probe_x, probe_y};
  ClearWorkPage();
  text_state() = TextState{};
  DrawTracked(SceneLines(s, 0, n), "", t);
  s.checkpoints.resize(t.checkpoints);
  return true;
}

void RedrawChanged(const Scene& scene, size_t k, const std::vector<std::string>& lines,
                   std::vector<uint8_t>* mark) {
  const DrawnAction& a = scene.actions[k];
  const SceneCheckpoint* c = &scene.checkpoints.front();
  for (const SceneCheckpoint& each : scene.checkpoints) {
    if (each.line <= a.first) c = &each;
  }
  PutWorkPage(c->pixels);
  text_state() = c->pen;
  std::vector<std::string_view> feed = SceneLines(scene, c->line, a.first);
  MarkTracking t{feed.size(), 0, mark};
  for (const std::string& line : lines) feed.push_back(line);
  t.changed_end = feed.size();
  const size_t n = scene.starts.size() - 1;
  for (size_t i = a.first + a.count; i < n; ++i) feed.push_back(SceneLine(scene, i));
  mark->assign(kPixels, 0);
  DrawTracked(feed, c->pending, t);
}
