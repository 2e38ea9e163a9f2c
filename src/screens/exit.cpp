// The ways out of the editor.
#include "gfx/screen.h"
#include "runtime/console.h"
#include "runtime/files.h"
#include "runtime/system.h"
#include "screens/prompt.h"

void EndEditor() {
  file_close_all();
  SCREEN(0, 0, 0, 0, 0);
  console_clear();
  console_print_line("Edit ended.");
  runtime_end(0);
}

void ExitRequest(Editor& ed) {
  if (ed.Saved != 0) EndEditor();
  int mode = kPromptExit;
  UnsavedPrompt(ed, mode);
}
