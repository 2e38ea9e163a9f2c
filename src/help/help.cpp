// The help screens: four pages of text and the quick-reference card.
#include "help/help.h"

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "screens/dialogs.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

constexpr uint32_t kSolid = 0xFFFF;

// A help line followed by the blanks that clear the rest of the previous one.
std::string Padded(const char* text, int blanks) {
  return text + std::string(static_cast<size_t>(blanks), ' ');
}

struct PageText {
  int title_y;
  std::string help_line;
  std::vector<std::string> lines;  // the title, then the body rows
};

const PageText kPages[4] = {
    {62,
     Padded("When you are finished reading this press ENTER for more information or ESC to use "
            "KOV1.",
            8),
     {
         "                  *** Welcome to KOV1 1.00 ***",
         "    KOV1 is a program for decreasing the time necessary to",
         "    insert graphics into BASIC programs by providing a",
         "    drawing program which saves its files in a format that",
         "    can be understood by BASIC. You can simply save your",
         "    drawing and then copy it into the right part of your",
         "    BASIC program. with KOV1 you can draw lines, boxes,",
         "    filled boxes, ellipses, and text. KOV1 uses a cursor",
         "    shaped like a + that can be moved with the arrow keys",
         "    or the mouse. To get Help at any",
         "    time press F1. KOV1 also has a help line at the bottom",
         "    of the screen to help you get around.",
     }},
    {62,
     Padded("When you are done reading this press PGDN to read the next page or ESC to continue "
            "drawing.",
            4),
     {
         "                     *** BASIC DRAWING ***",
         "    if you see CTRL-T it means the CTRL key & the t key",
         "    pressed at the same time. similarly CTRL-F it means the",
         "    CTRL key & the f key key pressed simultaneously.",
         "    To move move around the screen use the arrow keys.",
         "    To end KOV 1.00 Type CTRL-X.",
         "    Hit ESC if you get part way through drawing a line, box,",
         "    ellipse, or another shape & decide you don't want it.",
         "    If you look at the bottom of the screen you will see a",
         "    message telling you to press the PGDN key to see the",
         "    next page. This is the help line & it may help you.",
         "    Press F1 to get this message again if you need to.",
         "",
         "    Press F2 for a quick reminder to help you remember",
         "    what you learned while reading this.",
     }},
    {55,
     Padded("Press PGDN to read the next page, PGUP to read the previous page, or ESC to "
            "continue drawing.",
            5),
     {
         "                *** DRAWING DIFFERENT SHAPES ***",
         "    To draw lines:   Press CTRL-L & then press . to set the",
         "                     start and end of the lines.",
         "    To draw boxes:   Press CTRL-R & then press . to start",
         "                     and end the boxes.",
         "    To draw filled boxes: Press CTRL-F and then press . to",
         "                          start and end the filled boxes.",
         "    To draw ellipses: Press CTRL-E & then press . to start ",
         "                          and end the ellipses. The Left &",
         "                          right arrows control the size",
         "                          while the Up and Down keys make it",
         "                          wider and narrower.",
         "    To draw text:   Type CTRL-T & then press . to start your",
         "                    text & ENTER to end it.",
         "    To change the color: Type  CTRL-C.",
         "    To draw hamburgers:  You will need several lines.",
     }},
    {62,
     Padded("Press PGUP to read the previous page or ESC to begin or continue drawing.", 33),
     {
         "                     *** USING DRAWINGS ***",
         "    To Load or save an image or abandon the current image",
         "    type CTRL-S and you will see a menu. Choose the operation",
         "    you want & enter a DOS file name, unless you chose 'NEW",
         "    IMAGE' to abandon your drawing. The drawings KOV makes",
         "    are saved in a format compatible with Quick Basic. To",
         "    run them from Quick Basic just start Quick Basic and",
         "    open them. You will see that they are made as ready to",
         "    run Quick Basic programs.",
     }},
};

const std::string kCardHelpLine = Padded("Press ENTER or ESC when you are done reading this.", 52);

const char* const kCardLines[10] = {
    "CTRL-E = ELLIPSE",    "CTRL-F = FILLED BOX",    "CTRL-L = LINE",
    "CTRL-R = BOX",        "CTRL-S = SAVE,LOAD, or", "         ABANDON FILE",
    "CTRL-T = TEXT",       ". = START & END SHAPE",  "F1 = HELP",
    "F2 = QUICK REFRENCE",
};

// The shadow goes first: the body and the border cover it where they meet.
void DrawPageBox() {
  DrawShadow(55, 55, 510, 185, 7);
  LINE(50, 50, 500, 180, 15, kLineBoxFilled, kSolid, kCoordAbsolute);
  LINE(49, 49, 501, 181, 0, kLineBox, kSolid, kCoordAbsolute);
}

void DrawPageHelpLine(const PageText& page) {
  ResetTextPen();
  DrawHelpLine(page.help_line.c_str());
}

void DrawPageText(const PageText& page) {
  TextState& t = text_state();
  t = {.wx = 55, .wy = page.title_y, .Fcolor = 12, .Bcolor = 15};
  DrawStrokeText(page.lines[0].c_str());
  t.Fcolor = 8;
  t.wy = page.title_y + 14;
  for (size_t i = 1; i < page.lines.size(); ++i) {
    t.wx = 55;
    DrawStrokeText(page.lines[i].c_str());
  }
}

// The next key, or "" after idling until one is pending. A left click is
// the key that shows the next page (next), the right button ESC; other
// pointer events are "".
std::string PollKey(const std::string& next) {
  PointerEvent pointer;
  std::string key = read_input(pointer);
  if (pointer.kind == PointerKind::Press) return next;
  if (pointer.kind == PointerKind::RightPress) return kKeyEsc;
  if (key.empty() && pointer.kind == PointerKind::None) wait_for_input_signal(-1);
  return key;
}

// Draws a screen and polls until Enter or ESC, which it returns; a help page
// closed meanwhile (the redraw request, cleared here) draws it again.
std::string DrawUntilEnterOrEsc(Editor& ed, void (*draw)()) {
  for (;;) {
    draw();
    for (;;) {
      std::string key = PollKey(kKeyEnter);
      if (key == kKeyEnter || key == kKeyEsc) return key;
      if (ed.RedrawRequest == 1) break;
    }
    ed.RedrawRequest = 0;
  }
}

}  // namespace

void DrawHelpPage(int page, bool with_help_line) {
  if (page < 1 || page > 4) return;
  const PageText& text = kPages[page - 1];
  if (page <= 2) {
    ResetTextPen();
    ShowScratchPage();
  }
  // Page 3 draws its help line before its box, the others after it.
  if (page == 3 && with_help_line) DrawPageHelpLine(text);
  DrawPageBox();
  if (page != 3 && with_help_line) DrawPageHelpLine(text);
  DrawPageText(text);
}

void DrawQuickReference() {
  ResetTextPen();
  ShowScratchPage();
  DrawShadow(5, 5, 165, 85, 0);
  LINE(1, 1, 160, 80, 15, kLineBoxFilled, kSolid, kCoordAbsolute);
  LINE(0, 0, 161, 81, 0, kLineBox, kSolid, kCoordAbsolute);
  DrawHelpLine(kCardHelpLine.c_str());
  TextState& t = text_state();
  t = {.wx = 5, .wy = 5, .Fcolor = 8, .Bcolor = 15};
  for (const char* line : kCardLines) {
    t.wx = 5;
    DrawStrokeText(line);
  }
}

void WelcomePage(Editor& ed) {
  TextPenScope pen;
  if (DrawUntilEnterOrEsc(ed, [] { DrawHelpPage(1, true); }) == kKeyEnter) HelpPages(ed);
}

void HelpPages(Editor& ed) {
  ModalPages pages;
  TextPenScope pen;
  int page = 2;
  DrawHelpPage(page, true);
  for (;;) {
    // On the last page a click leaves, as ESC does.
    std::string key = PollKey(page < 4 ? kKeyPageDown : kKeyEsc);
    if (key == kKeyEsc) break;
    if (key == kKeyPageDown && page < 4) {
      ++page;
      DrawHelpPage(page, true);
    } else if (key == kKeyPageUp && page > 2) {
      // Back on page 3, the help line of page 4 stays on the screen.
      --page;
      DrawHelpPage(page, page == 2);
    }
  }
  ed.RedrawRequest = 1;
}

void QuickReference(Editor& ed) {
  ModalPages pages;
  TextPenScope pen;
  DrawUntilEnterOrEsc(ed, DrawQuickReference);
}
