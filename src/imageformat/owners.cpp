// The journal redrawn with the owner of every pixel: ReadImage draws the
// lines, and between two lines the pixels of the action just drawn are
// found (shapes drawn once more in another colour, texts by their cells,
// fills by what they changed).
#include "imageformat/owners.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"
#include "runtime/files.h"

namespace {

constexpr int kWidth = 640, kHeight = 200;
constexpr size_t kPixels = size_t{kWidth} * kHeight;

uint8_t* Row(int y) {
  return draw_context()->rows[static_cast<size_t>(y)];
}

std::vector<uint8_t> CopyWorkPage() {
  std::vector<uint8_t> pixels(kPixels);
  for (int y = 0; y < kHeight; ++y) std::memcpy(&pixels[size_t(y) * kWidth], Row(y), kWidth);
  return pixels;
}

void PutWorkPage(const std::vector<uint8_t>& pixels) {
  lock_screen();
  for (int y = 0; y < kHeight; ++y) std::memcpy(Row(y), &pixels[size_t(y) * kWidth], kWidth);
  unlock_screen(0, kHeight - 1);
}

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

// The pixels a shape just drawn wrote: drawn once more in another colour,
// they are those that change; then the page is put back.
void ShapePixels(const Statement& st, std::vector<uint32_t>* out) {
  const Box b = ShapeBox(st);
  if (b.x1 > b.x2 || b.y1 > b.y2) return;
  const size_t w = static_cast<size_t>(b.x2 - b.x1 + 1);
  std::vector<uint8_t> kept(w * static_cast<size_t>(b.y2 - b.y1 + 1));
  lock_screen();
  for (int y = b.y1; y <= b.y2; ++y) std::memcpy(&kept[(y - b.y1) * w], Row(y) + b.x1, w);
  Statement other = st;
  other.colour = static_cast<int>(mask_colour(gfx_screen(), static_cast<uint32_t>(st.colour)) ^ 1);
  DrawStatement(other);
  for (int y = b.y1; y <= b.y2; ++y) {
    uint8_t* row = Row(y) + b.x1;
    const uint8_t* was = &kept[(y - b.y1) * w];
    for (size_t i = 0; i < w; ++i) {
      if (row[i] != was[i]) out->push_back(static_cast<uint32_t>(y * kWidth + b.x1 + int(i)));
    }
    std::memcpy(row, was, w);
  }
  unlock_screen_unflagged();
}

// A text's character cells, 8 x 7 pixels every 7 pixels along the row.
void TextPixels(const Statement& st, std::vector<uint32_t>* out) {
  const long long n = static_cast<long long>(st.text.size());
  if (n == 0) return;
  const Box b = Clip(st.x1, st.y1, st.x1 + 7 * n, st.y1 + 6);
  for (int y = b.y1; y <= b.y2; ++y) {
    for (int x = b.x1; x <= b.x2; ++x) out->push_back(static_cast<uint32_t>(y * kWidth + x));
  }
}

void ChangedPixels(const std::vector<uint8_t>& before, std::vector<uint32_t>* out) {
  for (int y = 0; y < kHeight; ++y) {
    const uint8_t* row = Row(y);
    const uint8_t* was = &before[size_t(y) * kWidth];
    if (std::memcmp(row, was, kWidth) == 0) continue;
    for (int x = 0; x < kWidth; ++x) {
      if (row[x] != was[x]) out->push_back(static_cast<uint32_t>(y * kWidth + x));
    }
  }
}

bool TextStateLine(StatementKind k) {
  return k == StatementKind::Text || k == StatementKind::Wx || k == StatementKind::Wy ||
         k == StatementKind::Fcolor;
}

// What a tracked drawing of lines tells: before each line; each action as
// its line is reached (return true to learn its pixels); its pixels.
struct Tracking {
  std::function<void(size_t line, const std::string& pending)> before_line;
  std::function<bool(size_t trigger, size_t first, const Statement& st)> action;
  std::function<void(size_t trigger, const std::vector<uint32_t>& pixels)> written;
};

// Draws the lines with ReadImage on the work page, from the text state as
// it stands and the pending text given.
void DrawTracked(const std::vector<std::string_view>& lines, std::string pending,
                 const Tracking& t) {
  bool in_block = false;
  size_t group_first = SIZE_MAX, next = 0, open = SIZE_MAX;
  Statement open_st;
  std::vector<uint8_t> before_fill;
  std::vector<uint32_t> pixels;
  auto finish = [&] {
    if (open == SIZE_MAX) return;
    pixels.clear();
    if (open_st.kind == StatementKind::Paint) {
      ChangedPixels(before_fill, &pixels);
    } else {
      ShapePixels(open_st, &pixels);
    }
    t.written(open, pixels);
    open = SIZE_MAX;
  };
  // The reader learns the pending text from a line of its own, not counted.
  const std::string pending_line = "PrintFlarp$ = \"" + pending + "\"";
  bool give_pending = !pending.empty();
  auto hook = [&](std::string_view line) {
    if (give_pending) {
      give_pending = false;
      return;
    }
    const size_t i = next++;
    finish();
    if (t.before_line) t.before_line(i, pending);
    if (in_block) {
      if (ReadStatement(line).kind == StatementKind::BlockEnd) in_block = false;
      return;
    }
    Statement st = ReadStatement(line);
    const size_t first = group_first == SIZE_MAX ? i : group_first;
    group_first = TextStateLine(st.kind) ? first : SIZE_MAX;
    if (st.kind == StatementKind::BlockStart) in_block = true;
    if (st.kind == StatementKind::Text) pending = st.text;
    if (st.kind == StatementKind::Dprint) {
      const TextState& pen = text_state();
      st.x1 = pen.wx, st.y1 = pen.wy, st.colour = pen.Fcolor, st.text = pending;
      if (t.action(i, first, st)) {
        pixels.clear();
        TextPixels(st, &pixels);
        t.written(i, pixels);
      }
    } else if (IsShape(st.kind) && t.action(i, i, st)) {
      open = i, open_st = st;
      if (st.kind == StatementKind::Paint) before_fill = CopyWorkPage();
    }
  };
  size_t at = 0;
  bool pending_given = pending.empty();
  ReadImage({[&](std::string_view* line) {
               if (!pending_given) {
                 pending_given = true;
                 *line = pending_line;
                 return true;
               }
               if (at == lines.size()) return false;
               *line = lines[at++];
               return true;
             },
             hook});
  finish();
}

void ClearWorkPage() {
  LINE(0, 0, kWidth - 1, kHeight - 1, 0, kLineBoxFilled, 0xFFFF, 0);
}

std::vector<std::string_view> SceneLines(const Scene& s, size_t from, size_t to) {
  std::vector<std::string_view> lines;
  for (size_t i = from; i < to; ++i) lines.push_back(SceneLine(s, i));
  return lines;
}

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
  s = Scene{};
  if (!JournalBytesFrom(0, &s.bytes)) return false;
  for (size_t at = 0; at < s.bytes.size();) {
    s.starts.push_back(at);
    const size_t lf = s.bytes.find('\n', at);
    at = lf == std::string::npos ? s.bytes.size() : lf + 1;
  }
  const size_t n = s.starts.size();
  s.starts.push_back(s.bytes.size());
  s.owners.assign(kPixels, -1);
  const size_t every = std::max<size_t>(256, n / 48);
  size_t last_checkpoint = 0;
  const uint32_t probe = static_cast<uint32_t>(probe_y * kWidth + probe_x);
  std::vector<size_t> trigger_action;  // action of each trigger line being drawn
  Tracking t;
  t.before_line = [&](size_t line, const std::string& pending) {
    if (line != 0 && line - last_checkpoint < every) return;
    // Only between actions: a shape line, or the first line.
    if (line != 0 && !IsShape(ReadStatement(SceneLine(s, line)).kind)) return;
    last_checkpoint = line;
    s.checkpoints.push_back({line, CopyWorkPage(), text_state(), pending});
  };
  t.action = [&](size_t trigger, size_t first, const Statement& st) {
    s.actions.push_back({first, trigger + 1 - first, st});
    return true;
  };
  t.written = [&](size_t, const std::vector<uint32_t>& pixels) {
    const int a = static_cast<int>(s.actions.size() - 1);
    for (uint32_t p : pixels) s.owners[p] = a;
    if (std::find(pixels.begin(), pixels.end(), probe) != pixels.end()) s.writers.push_back(a);
  };
  ClearWorkPage();
  text_state() = TextState{};
  DrawTracked(SceneLines(s, 0, n), "", t);
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
  const size_t changed_first = feed.size();
  for (const std::string& line : lines) feed.push_back(line);
  const size_t changed_end = feed.size();
  const size_t n = scene.starts.size() - 1;
  for (size_t i = a.first + a.count; i < n; ++i) feed.push_back(SceneLine(scene, i));
  mark->assign(kPixels, 0);
  Tracking t;
  t.action = [&](size_t trigger, size_t, const Statement&) {
    return trigger >= changed_first && trigger < changed_end;
  };
  t.written = [&](size_t, const std::vector<uint32_t>& pixels) {
    for (uint32_t p : pixels) (*mark)[p] = 1;
  };
  DrawTracked(feed, c->pending, t);
}
