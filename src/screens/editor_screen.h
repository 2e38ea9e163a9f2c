// editor_screen.h - the frame of the drawing screen: the help line along
// its foot and the border around the picture. Start-up, a new image and a
// load draw it.
#pragma once

// The help line of the drawing screen ("help" or "Help") at (1, 195).
void DrawEditorHelpLine(bool capital_help);
// Draws the border and the help line over whatever the picture left
// beneath the border: the rows of the help line are cleared first, as the
// live editor keeps them.
void DrawEditorFrame(bool capital_help);
// Clears the work page and draws the help line and the border.
void DrawEditorScreen(bool capital_help);
