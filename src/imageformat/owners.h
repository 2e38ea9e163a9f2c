// owners.h - the journal's frameless redraw with the owner of every pixel,
// and the same redraw with one action's lines replaced.
//
// An action is what draws: a shape line (line, box, filled box, ellipse,
// fill) or a text, its "gosub Dprint" line with the text-state lines right
// before it (its group). BuildScene reads the journal and draws it on the
// work page from a cleared page and a fresh text pen, as a load draws it,
// keeping for every pixel the action that last wrote it: a shape's pixels
// are those it drew, whatever colour they had; a text's are its whole
// character cells; a fill's are those it changed. It also keeps the page
// every so many lines (checkpoints), so that RedrawChanged draws the journal
// with one action changed from the last checkpoint before the action rather
// than from the start. Pages are one byte a pixel (SCREEN 8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "imageformat/format.h"
#include "strokefont/text_state.h"

// For a text, shape.kind is Dprint, (x1, y1) its (wx, wy), colour its
// Fcolor and text the text, as drawn.
struct DrawnAction {
  size_t first = 0, count = 0;  // its lines
  Statement shape;
};

struct SceneCheckpoint {
  size_t line = 0;              // drawn up to before this line
  std::vector<uint8_t> pixels;  // the work page then
  TextState pen;
  std::string pending;  // the text a "gosub Dprint" would draw
};

struct Scene {
  std::string bytes;           // the journal
  std::vector<size_t> starts;  // where each line starts, and bytes.size() last
  std::vector<DrawnAction> actions;
  std::vector<int> owners;   // per pixel, row after row: an action, or -1
  std::vector<int> writers;  // the actions that wrote the probe pixel, in order
  std::vector<SceneCheckpoint> checkpoints;
};

// Line i of the scene without its line end.
std::string_view SceneLine(const Scene& scene, size_t i);
// The bytes of an action's lines, line ends included, and where they start.
size_t ActionOffset(const Scene& scene, const DrawnAction& a);
size_t ActionLength(const Scene& scene, const DrawnAction& a);

// Reads the journal and draws it on the work page; writers lists the
// actions that wrote the pixel (probe_x, probe_y). False when the journal
// could not be read.
bool BuildScene(Scene* scene, int probe_x, int probe_y);

// Draws the journal on the work page with action k's lines replaced by
// `lines` (none: the action is gone), later actions included; *mark gets
// one byte a pixel, 1 where the changed action wrote.
void RedrawChanged(const Scene& scene, size_t k, const std::vector<std::string>& lines,
                   std::vector<uint8_t>* mark);
