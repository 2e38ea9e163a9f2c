// help.h - the welcome page, the help pages and the quick-reference card.
//
// Each is drawn on page 1 over the picture in the box style of the dialogs
// and read with the keys its help line names. WelcomePage (page 1) leads on
// to HelpPages with ENTER; HelpPages shows pages 2 to 4 (PGDN, PGUP, ESC);
// QuickReference shows the card of command keys until ENTER or ESC.
// HelpPages sets RedrawRequest when it closes; WelcomePage and
// QuickReference draw themselves again when they find it set. Every screen
// leaves Fcolor 7 and Bcolor 0; HelpPages and QuickReference leave page 1
// equal to page 0.
#pragma once

#include "editorstate/editor.h"

void WelcomePage(Editor& ed);
void HelpPages(Editor& ed);
void QuickReference(Editor& ed);

// Draws help page 1 to 4 as its screen shows it. Pages 1 and 2 first make
// page 1 the work and visible page; pages 3 and 4 draw on the work page in
// use. Without the help line, the one at the bottom of the screen stays.
void DrawHelpPage(int page, bool with_help_line);
// Makes page 1 the work and visible page and draws the card on it; leaves
// Fcolor 8 and Bcolor 15.
void DrawQuickReference();
