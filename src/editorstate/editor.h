// editor.h - the editor's one state record.
//
// The main routine owns the record and passes it to every routine that reads
// or changes the editor's state.
// It holds the cursor and the shape under way, and the program-wide values
// that the tools, dialogs and screens share (drawing colour, unsaved-work
// flag, redraw request). The stroke-font text position and
// colours are the text state of strokefont/text_state.h.
#pragma once

#include <string>

// Tools.
enum : int {
  kToolLine = 1,
  kToolBox = 2,
  kToolEllipse = 3,
  kToolFilledBox = 4,
  kToolText = 5,
  kToolFill = 6
};

struct Editor {
  // Cursor, kept within 1..638 and 1..192.
  int CursorX = 2, CursorY = 33;
  int Tool = kToolLine;
  // 0: no shape under way; 1: the start point of a line, box or filled box is set.
  int Stage = 0;
  int StartX = 0, StartY = 0;
  // Where the left button that began the shape under way went down; -1 when
  // a key began it.
  int PressX = -1, PressY = -1;
  int Radius = 1;
  float Aspect = 1.0f;
  // Colours of the five screen pixels under the cursor.
  int UnderUp = 0, UnderDown = 0, UnderRight = 0, UnderLeft = 0, UnderCentre = 0;
  std::string Key;
  std::string DriveLetter;

  // Program-wide values.
  int DrawColor = 7;
  int Saved = 1;          // 1 while there is no unsaved work
  int DprintWritten = 0;  // the text subroutine block is in the journal
  int RedrawRequest = 0;  // a help page has just closed
  // The drawing last saved or loaded, as typed (code page 437); "" when none.
  std::string DrawingName;
};
