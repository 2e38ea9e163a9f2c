#include "screens/load.h"

#include <unistd.h>

#include <cstdio>

#include "gfx/draw.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "imageformat/format.h"
#include "imageformat/journal.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "screens/editor_screen.h"
#include "screens/file_dialog.h"
#include "screens/text_boxes.h"
#include "strokefont/text_state.h"

namespace {

constexpr int kTempFile = 3;

// Reads the opened drawing (file 2) onto page 0, copying its lines into the
// temporary journal; stops at the first failure. True when every line was
// read and copied.
bool ReadDrawing(ReadResult* result) {
  bool failed = false;
  std::string_view block;  // lines read but not yet handed out
  ImageLines lines;
  lines.next = [&failed, &block](std::string_view* line) {
    if (failed) return false;
    if (block.empty()) {
      const LineRead read = file_next_lines(kUserFile, &block);
      failed = read == LineRead::Failed;
      if (read != LineRead::Line) return false;
    }
    return take_line(&block, line);
  };
  lines.copy = [&failed](std::string_view line) {
    if (!failed) failed = !file_print(kTempFile, line);
  };
  *result = ReadImage(lines);
  return !failed;
}

// Puts everything back after a failed load.
bool Abandon(const PageCopy& picture, const TextState& text) {
  file_close_all();
  unlink(kLoadTempName);
  copy_page_in(0, picture);
  text_state() = text;
  JournalReopen();
  return false;
}

}  // namespace

void RemoveStaleLoadFile() {
  unlink(kLoadTempName);
}

namespace {

bool Load(Editor& ed, const std::string& typed_name, const std::string& file_system_name) {
  PrintSmallBox(6, "    Loading...    ");
  ed.ErrorFlag = 0;
  std::string path = file_system_name;
  if (path.empty() && !FileSystemName(typed_name, &path)) {
    raise_error(kErrBadFileName);
    JournalReopen();
    return false;
  }
  const PageCopy picture = copy_page_out(0);
  const TextState text = text_state();
  if (!file_open(kUserFile, path, FileMode::Input) ||
      !file_open(kTempFile, kLoadTempName, FileMode::Output, FileBuffering::Buffered)) {
    return Abandon(picture, text);
  }
  set_pages(0, 1);
  CLS();
  ReadResult result;
  if (!ReadDrawing(&result) || !file_sync(kTempFile) || !file_close(kTempFile) ||
      !JournalReplaceBy(kLoadTempName)) {
    return Abandon(picture, text);
  }
  file_close_all();
  JournalReopen();
  ed.DprintWritten = result.had_block ? 1 : 0;
  ed.DrawingName = trim_file_name(typed_name);

  ResetTextPen();
  DrawEditorFrame(false);
  ShowPicture();
  return true;
}

}  // namespace

bool LoadImage(Editor& ed, const std::string& typed_name, const std::string& file_system_name) {
  ed.Loading = 1;
  const bool loaded = Load(ed, typed_name, file_system_name);
  ed.Loading = 0;
  return loaded;
}
