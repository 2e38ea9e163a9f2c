#include "screens/load.h"

#include "gfx/draw.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "imageformat/format.h"
#include "imageformat/journal.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "screens/dialogs.h"
#include "screens/editor_screen.h"
#include "screens/file_dialog.h"
#include "screens/text_boxes.h"
#include "strokefont/text_state.h"

namespace {

bool g_running = false;  // a load is under way

// Reads the opened drawing onto the work page, writing its lines into the
// new journal; stops at the first failure. True when every line was read
// and written.
bool ReadDrawing(ReadResult* result) {
  bool failed = false;
  ImageLines lines;
  lines.next = LinesFromBuffers(
      [](std::string_view* buffer) { return file_next_lines(kUserFile, buffer); }, &failed);
  lines.copy = [&failed](std::string_view line) {
    if (!failed) failed = !JournalNewLine(line);
  };
  *result = ReadImage(lines);
  return !failed;
}

// Puts the journal and the picture back after a failed load.
bool Abandon(const PageCopy& picture) {
  if (file_is_open(kUserFile)) file_close(kUserFile);
  JournalNewDrop();
  copy_page_in(0, picture);
  return false;
}

void TellOfClosedBlock() {
  MessageBox(
      "                      * Warning *", "", "      The text subroutine of this drawing was cut",
      "      short: its last line, EndAbc:, was missing.",
      "      KOV1 has added it, so that what you draw now", "      runs when the drawing is run.");
}

bool Load(Editor& ed, const std::string& typed_name, const std::string& file_system_name) {
  PrintSmallBox(6, "    Loading...    ");
  std::string path = file_system_name;
  if (path.empty() && !FileSystemName(typed_name, &path)) {
    raise_error(kErrBadFileName);
    return false;
  }
  const PageCopy picture = copy_page_out(0);
  TextPenScope pen;  // the drawing's texts move it
  if (!file_open(kUserFile, path, FileMode::Input) || !JournalNewBegin()) return Abandon(picture);
  DrawPictureUnseen();
  CLS();
  ReadResult result;
  // A block cut short is closed, so that what is drawn next runs after it;
  // it is the drawing's one block, and no text writes another.
  if (!ReadDrawing(&result) || (result.block_unclosed && !JournalNewLine("EndAbc:")) ||
      !JournalNewCommit()) {
    return Abandon(picture);
  }
  file_close(kUserFile);
  ed.DprintWritten = result.had_block ? 1 : 0;
  ed.DrawingName = trim_file_name(typed_name);

  ResetTextPen();
  DrawEditorFrame(false);
  ShowPicture();
  if (result.block_unclosed) TellOfClosedBlock();
  return true;
}

}  // namespace

bool LoadImage(Editor& ed, const std::string& typed_name, const std::string& file_system_name) {
  g_running = true;
  const bool loaded = Load(ed, typed_name, file_system_name);
  g_running = false;
  return loaded;
}

bool LoadRunning() {
  return g_running;
}
