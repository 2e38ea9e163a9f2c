// title.h - the title screen shown once at start-up, and its tune.
//
// ShowTitle draws the title (a light-cyan panel with the striped block
// letters "KOV1", the version "1.00" and a pencil) on page 1 over the
// editor screen and shows it while the tune plays, then shows page 0 again,
// wipes page 1 with a copy of it and waits for a key, which it discards.
// Keys pressed during the tune stay queued, so the first one ends the wait.
// It leaves Fcolor 7, Bcolor 0, wx 1 and wy 137.
#pragma once

#include <array>

#include "editorstate/editor.h"

struct Note {
  int freq;   // hertz
  int ticks;  // of 50 ms
};

void ShowTitle(Editor& ed);

// Draws the title picture on the work page.
void DrawTitle();

// The seven notes of the scale the tune is taken from, each the previous one
// times a whole or half tone ratio, rounded to single precision.
std::array<float, 7> TitleScale();
// The tune: four notes of the scale rounded to whole hertz, then a
// zero-length 37 Hz.
std::array<Note, 5> TitleTune();
