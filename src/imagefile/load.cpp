#include "imagefile/load.h"

#include <unistd.h>

#include <cstdio>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "imagefile/editor_screen.h"
#include "imagefile/file_dialog.h"
#include "imagefile/format.h"
#include "imagefile/text_boxes.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "text/text_state.h"

namespace {

constexpr int kTempFile = 3;

// Reads the opened drawing (file 2) onto page 0, copying its lines into the
// temporary journal; stops at the first failure.
ReadResult ReadDrawing(Editor& ed) {
  ImageLines lines;
  lines.next = [&ed](std::string* line) {
    if (ed.ErrorFlag != 0 || file_eof(kUserFile)) return false;
    file_read_line(kUserFile, line);
    return ed.ErrorFlag == 0;
  };
  lines.copy = [&ed](const std::string& line) {
    if (ed.ErrorFlag == 0) file_print(kTempFile, line);
  };
  return ReadImage(lines);
}

// Puts everything back after a failed load.
bool Abandon(const PageCopy& picture, const TextState& text) {
  file_close_all();
  unlink(kLoadTempName);
  copy_page_in(0, picture);
  text_state() = text;
  file_open(kJournalFile, kJournalName, FileMode::Append);
  return false;
}

}  // namespace

void RemoveStaleLoadFile() {
  unlink(kLoadTempName);
}

bool LoadImage(Editor& ed, const std::string& typed_name, const std::string& file_system_name) {
  PrintSmallBox(6, "    Loading...    ");
  ed.ErrorFlag = 0;
  std::string path = file_system_name;
  if (path.empty() && !FileSystemName(typed_name, &path)) {
    raise_error(kErrBadFileName);
    file_open(kJournalFile, kJournalName, FileMode::Append);
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
  ReadResult result = ReadDrawing(ed);
  if (ed.ErrorFlag == 0) file_sync(kTempFile);
  if (ed.ErrorFlag == 0) file_close(kTempFile);
  if (ed.ErrorFlag != 0 || std::rename(kLoadTempName, kJournalName) != 0) {
    if (ed.ErrorFlag == 0) raise_error(error_number_for_errno(errno, kJournalName));
    return Abandon(picture, text);
  }
  file_close_all();
  file_open(kJournalFile, kJournalName, FileMode::Append);
  ed.DprintWritten = result.had_block ? 1 : 0;
  ed.DrawingName = trim_file_name(typed_name);

  TextState& t = text_state();
  t.Fcolor = 7;
  DrawEditorHelpLine(false);
  LINE(0, 0, 639, 193, 0, kLineBox, 0xFFFF, kColourOmitted);
  PCOPY(0, 1);
  set_pages(0, 0);
  return true;
}
