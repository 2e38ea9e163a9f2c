// history.h - undo and redo of the actions recorded in the journal.
//
// An action is what one "." key of the main loop appends to the journal:
// the line of a line, box, filled box, ellipse or fill, or a text's group of
// lines with the subroutine block when that text wrote it. (A block written
// by a text that was left with ESC draws nothing; it goes with the next
// action.) For each action the history keeps where the journal stood before
// it, the bytes it appended, the subroutine-block flag before and after, and
// the pixels of page 0 it changed, before and after. Undo cuts the journal
// back and puts the pixels back; redo appends the same bytes and puts the
// pixels in again. So the journal, the picture and the saved program agree
// after each, and a crash at any moment leaves exactly the actions done.
//
// A New Image is an action too: it replaces the whole journal, and undo puts
// the journal's bytes, the picture, Saved, the drawing's name and
// DprintWritten back as they were; redo clears them again. The header that
// an append to an empty journal brings with it belongs to no action.
//
// The history begins anew with the journal (start-up, a load; a failed load
// keeps it) and lives in memory only. An action takes its journal bytes, 12
// bytes per changed stretch of a row plus twice its bytes, and about 150
// bytes besides: about 4 KB for a line across the screen, 8 KB for a box
// around the whole frame, 257 KB for a fill of the whole screen. A New Image
// takes the whole journal before it, the picture it cleared (at most about
// 257 KB, as a fill of the whole screen) and about 250 bytes besides. Beyond
// 1,000 actions the oldest are forgotten while the history takes more than
// 256 MB.
//
// A change kept in place (a picked shape moved, recoloured or deleted) is
// an action too: it keeps the lines it replaced and those that replaced
// them, and undo and redo put the one or the other back in the journal's
// place whole, as the change itself did. It takes the two versions of its
// lines and its changed pixels as above: about 0.5 KB for a small box moved
// a pixel, 4 KB for a line across the screen moved or recoloured, 257 KB
// for a filled box over the whole screen deleted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editorstate/editor.h"

// Runs act (what a "." key does) and records what it appended as an action;
// recording empties the redo list.
void RecordAction(Editor& ed, void (*act)(Editor&));
// Runs act, a New Image that replaces the journal and returns true when it
// did, and records it as an action.
void RecordNewImage(Editor& ed, bool (*act)(Editor&));
// Called before a change in place is made: a subroutine block waiting for
// the next action (written by a text left with ESC) goes, and comes back
// with the next text, so that undoing the change finds the journal exactly
// as it was before it. False when it could not be cut.
bool PrepareEdit(Editor& ed);
// Records a change kept in place: the journal's bytes at offset were `old`
// and are now `now` (whole lines), and page 0 was `before` (a
// copy_page_out(0) taken before the change). The journal's lines before
// and after the change stay; the history keeps only these lines and the
// changed pixels. Empties the redo list like any action.
void RecordEdit(const Editor& ed, long long offset, std::string old, std::string now,
                const std::vector<uint8_t>& before);
// Undo the last action / redo the last undone one; the plain beep when there
// is none. Both set Saved to 0, but for a New Image, whose Saved they put
// back.
void UndoAction(Editor& ed);
void RedoAction(Editor& ed);

// What the history holds, for tests and benchmarks.
size_t UndoCount();
size_t RedoCount();
size_t HistorySize();
