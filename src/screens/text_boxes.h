// text_boxes.h - small boxes printed in 8 x 8 text cells.
#pragma once

#include <string>

// n copies of s.
std::string Repeat(const std::string& s, int n);
// The 20-character box at column 10 whose middle line, on row top + 2, holds
// the 18 characters of text ("Saving...", "Loading...").
void PrintSmallBox(int top, const std::string& text);
