#include "editor/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "runtime/cp437.h"

namespace {

constexpr const char* kUsage =
    "usage: kov1 [--pictures] [FILE]\n"
    "       kov1 --help | --version\n";

constexpr const char* kHelp =
    "\n"
    "Draw on the 640 x 200, 16-colour SCREEN 8 screen from the keyboard; every\n"
    "shape is kept as a QuickBASIC statement, so a saved drawing is a program\n"
    "that redraws it. The journal image.img holds the drawing as it grows.\n"
    "\n"
    "With FILE, the editor works in FILE's folder (its image.img and the names\n"
    "typed in the file dialog belong there) and opens the drawing FILE.\n"
    "Without FILE it works in the current folder, or with --pictures in the\n"
    "folder KOV1 of your pictures folder, where it goes on with the drawing\n"
    "of the last start (the desktop's menu starts it so).\n"
    "\n"
    "  arrows       move the cursor one pixel\n"
    "  .            start and end a shape, or place text\n"
    "  Ctrl-L       line          Ctrl-R   box       Ctrl-F   filled box\n"
    "  Ctrl-E       ellipse       Ctrl-T   text      Ctrl-C   colour\n"
    "  Ctrl-P       fill the area under the cursor\n"
    "  Ctrl-S       file menu: save, load, new image\n"
    "  F1, F2       help pages, quick reference\n"
    "  Esc          drop the shape under way\n"
    "  Ctrl-Z       undo the last shape, text or fill   Ctrl-Y   redo it\n"
    "               (while a text is typed, Ctrl-Z is refused with a beep)\n"
    "  Tab          pick the shape under the cursor (again: the one under it);\n"
    "               then arrows move it, Ctrl-C recolours it, Delete deletes it,\n"
    "               . or Enter keeps the change, Esc puts it back; with the\n"
    "               mouse, drag the shape to move it, click off it to keep\n"
    "  Ctrl-X       end (asks first when the work is unsaved)\n"
    "\n"
    "The mouse: the cursor follows the pointer; the left button acts as .,\n"
    "and releasing it after a drag ends a line or box; in an ellipse the\n"
    "pointer sizes it and the wheel sets its aspect; the right button acts as\n"
    "Esc (in a text it does nothing, and a left click ends the text as Enter).\n"
    "A click chooses a colour swatch, a menu item or a button, leaves the\n"
    "title and turns the help pages.\n"
    "  Ctrl+wheel, Ctrl-= or Ctrl+keypad +/-   zoom 1, 2, 3, 4, 6, 8 times\n"
    "  Ctrl-0       the whole picture again (a grid shows pixels from 4 times)\n"
    "\n"
    "A save replaces the file you name only once the whole drawing is on the\n"
    "disk; a folder, device or pipe of that name is refused and left alone.\n"
    "New Image is undone with Ctrl-Z like a shape. Should another program\n"
    "remove or replace image.img, the editor writes the drawing back there,\n"
    "keeps what stood there as image.img.N, and says so.\n"
    "\n"
    "  --pictures   without FILE, draw in the folder KOV1 of the pictures folder\n"
    "               (XDG_PICTURES_DIR, else ~/Pictures; made when missing)\n"
    "  --help       show this text\n"
    "  --version    show the name and version\n"
    "\n"
    "Every key of every screen: man kov1\n";

constexpr int kBadArguments = 2;

[[noreturn]] void Refuse(const std::string& why) {
  std::fprintf(stderr, "kov1: %s\n%s", why.c_str(), kUsage);
  std::exit(kBadArguments);
}

[[noreturn]] void Print(const char* text) {
  std::fputs(text, stdout);
  std::exit(std::fflush(stdout) == 0 ? 0 : 1);
}

}  // namespace

CommandLine ReadCommandLine(int argc, char** argv) {
  CommandLine line;
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!options_end && arg == "--") {
      options_end = true;
    } else if (!options_end && arg == "--help") {
      std::fputs(kUsage, stdout);
      Print(kHelp);
    } else if (!options_end && arg == "--version") {
      Print("kov1 1.00\n");
    } else if (!options_end && arg == "--pictures") {
      line.pictures = true;
    } else if (!options_end && arg.size() > 1 && arg[0] == '-') {
      Refuse("unknown option " + controls_as_question_marks(arg));
    } else if (arg.empty()) {
      Refuse("an empty FILE");
    } else if (line.has_file) {
      Refuse("one FILE at most");
    } else {
      line.has_file = true;
      line.file = arg;
    }
  }
  return line;
}
