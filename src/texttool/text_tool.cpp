// The text tool: a 110-position buffer typed into one character at a time,
// previewed on page 1 and, on ENTER, drawn on page 0 and recorded.
#include "texttool/text_tool.h"

#include <string>
#include <utility>
#include <vector>

#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "imageformat/format.h"
#include "imageformat/journal.h"
#include "runtime/files.h"
#include "runtime/sound.h"
#include "screens/prompt.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

constexpr int kBufferLength = 110;
constexpr int kLastCellX = 630;  // a cell may start at most here
constexpr int kAdvance = 7;

struct TextEntry {
  std::string buffer = std::string(kBufferLength, ' ');
  int position = 1;  // 1-based buffer position of the next character
  int typing_x = 0;  // x of its cell: start_x + 7 * (position - 1)
  int start_x = 0, start_y = 0;
};

// Draws a copy at (x, y): the caller's buffer stays as it is.
void DrawAt(int x, int y, std::string text) {
  TextState& t = text_state();
  t.wx = x;
  t.wy = y;
  DrawStrokeText(text);
}

void RefuseChar(const TextEntry& e) {
  PlayTone(1000, 0);
  DrawAt(e.start_x, e.start_y, e.buffer);
}

// Bytes that would harm the saved program: a line feed splits the
// statement over two lines, and byte 26 (Ctrl-Z) or 0 ends a file for many
// older tools reading it.
bool HarmsTheProgram(char c) {
  return c == '\n' || c == '\x1A' || c == '\0';
}

void TypeChar(TextEntry& e, char c) {
  if (e.position > kBufferLength || e.typing_x > kLastCellX || HarmsTheProgram(c)) {
    RefuseChar(e);
    return;
  }
  e.buffer[static_cast<size_t>(e.position - 1)] = c;
  DrawAt(e.typing_x, e.start_y, std::string(1, c));
  e.typing_x += kAdvance;
  e.position += 1;
}

void DeleteChar(TextEntry& e) {
  if (e.position > 1) {
    e.position -= 1;
    e.typing_x -= kAdvance;
  }
  e.buffer[static_cast<size_t>(e.position - 1)] = ' ';
  DrawAt(e.typing_x, e.start_y, " ");
}

// The text's journal lines go in with one write, after the subroutine block
// if that is not in the journal yet; only recorded text stays in the
// picture.
void FinishText(Editor& ed, const TextEntry& e) {
  WipeScratch();
  // Without trailing blanks (all blanks: npos + 1 is 0, the empty text).
  std::string text = e.buffer.substr(0, e.buffer.find_last_not_of(' ') + 1);
  DrawAt(e.start_x, e.start_y, text);
  std::vector<std::string> lines;
  if (ed.DprintWritten == 0) lines = DprintBlockLines();
  for (std::string& line : TextGroup(text, ed.DrawColor, e.start_y, e.start_x)) {
    lines.push_back(std::move(line));
  }
  const bool recorded = JournalAppendLines(lines);
  if (recorded) ed.DprintWritten = 1;
  EndPageOneDrawing(recorded);
}

void CancelText() {
  ShowPicture();
}

// Ctrl-X; returns when the user withdrew the exit. The typed text is given
// up: page 1 becomes the picture on page 0 again, whatever the prompt left
// on it.
void ExitFromText(Editor& ed) {
  ExitRequest(ed);
  ShowPicture();
}

}  // namespace

void TextTool(Editor& ed) {
  // Typing draws in the drawing colour; every way out restores the pen.
  TextPenScope pen;
  TextState& t = text_state();
  ShowScratchPage();
  t.Fcolor = ed.DrawColor;
  TextEntry e;
  e.typing_x = e.start_x = t.wx;
  e.start_y = t.wy;

  for (;;) {
    // A left click finishes the text as ENTER does; no other pointer event
    // does anything here, so a stray click never loses typed text.
    PointerEvent pointer;
    char c = read_char_or_pointer(pointer);
    if (pointer.kind == PointerKind::Press) c = kKeyEnter[0];
    if (pointer.kind != PointerKind::None && c == 0) continue;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == '"') c = '+';
    const std::string key(1, c);
    if (key == kKeyEsc) {
      CancelText();
      return;
    } else if (key == kKeyEnter) {
      FinishText(ed, e);
      return;
    } else if (key == CtrlKey('X')) {
      ExitFromText(ed);
      return;
    } else if (key == kKeyBackspace) {
      DeleteChar(e);
    } else {
      TypeChar(e, c);
    }
  }
}
