// format.h - the drawing's file format: QuickBASIC statement lines.
//
// Writers: I() and S() print numbers as BASIC's PRINT does (a sign position,
// then the digits; S with 7 significant digits and three-digit exponents),
// PAD fills to the next 14-column print zone, and the *Statement functions
// compose the exact line of each shape (without its CR LF).
// Reader: ReadImage applies the reading rules to every line of a drawing:
// each line is copied to the new journal as it was read, then normalised,
// classified and drawn; text groups are drawn at (wx, wy) in Fcolor; the
// generated subroutine block is skipped. VAL reads numbers as BASIC does,
// with saturation instead of overflow.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/files.h"

std::string I(long long v);
std::string S(float v);
// Blanks from a line of `written` characters to the next print zone.
std::string PAD(size_t written);

std::string LineStatement(int x1, int y1, int x2, int y2, int colour);
std::string BoxStatement(int x1, int y1, int x2, int y2, int colour);
std::string FilledBoxStatement(int x1, int y1, int x2, int y2, int colour);
std::string CircleStatement(int x, int y, int radius, int colour, float aspect);
// A fill: QuickBASIC's PAINT at (x, y) with the colour, up to the border colour.
std::string PaintStatement(int x, int y, int colour, int border);
// The aspect a reader gets back from CircleStatement's printed aspect. S
// keeps 7 significant digits, fewer than a single-precision number may
// need, so the editor draws its ellipses with this value: the picture is
// then what the saved drawing redraws.
float RecordedAspect(float aspect);
// The five lines of a text group, in their order.
std::vector<std::string> TextGroup(std::string_view text, int colour, int y, int x);

// BASIC's VAL: optional blanks, sign, digits, point with digits, exponent
// with E or D; no number gives 0. Beyond the double range it saturates.
double VAL(std::string_view text);

// Where the reader gets its lines and where it copies them.
struct ImageLines {
  // Reads the next line into *line, which stays valid until the next call;
  // false at the end of the file.
  std::function<bool(std::string_view* line)> next;
  // Receives every line read, unchanged, for the new journal.
  std::function<void(std::string_view line)> copy;
};

struct ReadResult {
  bool had_block = false;       // the file held the generated block ("GoTo EndAbc")
  bool block_unclosed = false;  // the file ended inside it, before "EndAbc:"
};

// Reads and draws every line on the work page.
ReadResult ReadImage(const ImageLines& lines);

// What one line is to the reader, read by the same rules as ReadImage reads
// it. A shape carries its numbers as the reader draws them; a line of the
// text state carries its value (wx, wy and Fcolor rounded as read, the
// text upper-cased).
enum class StatementKind {
  None,        // draws nothing and changes no state
  Line,        // x1, y1, x2, y2, colour
  Box,         // the same
  FilledBox,   // the same
  Ellipse,     // centre x1, y1, radius, colour, aspect
  Paint,       // point px, py (x1, y1 rounded), colour, border, paint_flags
  Text,        // the pending text becomes `text`
  Wx,          // wx becomes value
  Wy,          // wy becomes value
  Fcolor,      // Fcolor becomes value
  Dprint,      // "gosub Dprint": draws the pending text
  BlockStart,  // "GoTo EndAbc": the lines up to the block's end are skipped
  BlockEnd     // "EndAbc:", the block's end
};

struct Statement {
  StatementKind kind = StatementKind::None;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0, colour = 0;
  int radius = 0;
  double aspect = 0;
  float px = 0, py = 0;
  int border = 0, paint_flags = 0;
  int value = 0;
  std::string text;
};

Statement ReadStatement(std::string_view line);
// Draws a shape statement on the work page exactly as ReadImage does.
void DrawStatement(const Statement& st);
// Does what ReadImage does with a line read as st, the block's skipping
// aside: draws a shape, or changes the text state or *pending (the text
// that "gosub Dprint" draws, which draws it).
void ApplyStatement(const Statement& st, std::string* pending);
bool IsShape(StatementKind kind);

// ImageLines::next over buffers of whole lines, as file_next_lines hands
// them out: next_buffer gives the next buffer (Line, End or Failed), and the
// lines are cut from it one by one. *failed is set when a buffer could not
// be read; once it is set, by this or by the caller's copy, no further line
// is given.
std::function<bool(std::string_view* line)> LinesFromBuffers(
    std::function<LineRead(std::string_view* lines)> next_buffer, bool* failed);
