// dialogs.h - the common look of the editor's boxes, and the message box.
//
// A box is a checkered shadow offset by 5 pixels, a one-pixel border in
// colour 0 and a filled body. DrawShadow draws the checkerboard (every
// other pixel, the picture showing through). MessageBox shows six lines of
// stroke-font text with an "< Ok >" button on page 1 over the picture and
// waits for ENTER or ESC; the picture is then restored from page 0.
// DrawMessageBox upper-cases the caller's strings, as DrawStrokeText does;
// MessageBox leaves them as they are.
#pragma once

#include <string>

void DrawShadow(int x1, int y1, int x2, int y2, int colour);
// Shadow, border and body of a box with body (left, top)-(right, bottom).
void DrawBox(int left, int top, int right, int bottom, int body_colour, int shadow_colour);
// Draws a help line at (1, 195) in the current colours.
void DrawHelpLine(const char* text);

// The message box as it waits for its key: drawn on page 1, which is then
// the work and visible page. MessageBox draws it, waits and closes it.
void DrawMessageBox(std::string& line1, std::string& line2, std::string& line3, std::string& line4,
                    std::string& line5, std::string& line6);
void MessageBox(const std::string& line1, const std::string& line2, const std::string& line3,
                const std::string& line4, const std::string& line5, const std::string& line6);
