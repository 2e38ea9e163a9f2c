// journal.h - the journal: the drawing as the program that redraws it, one
// statement a line, in image.img in the working folder.
//
// This module alone opens, reads, writes, replaces and deletes the journal.
// It holds the journal open for reading and appending from start-up to the
// end of the run, so saves, loads and fills read it without closing it.
// Every append puts its lines into the file with one write, all or none of
// them, so the journal always ends at a line end: JournalLength is the byte
// offset of a line end, and JournalCut takes the journal back to such an
// offset. A load writes its new journal beside the journal, syncs it and
// renames it into place, so that image.img is always the old journal or the
// new one, whole. Failures go to the error handler; the functions return
// false (or -1) after one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// --- Start-up.

// A journal left by an earlier run is kept under the first free name
// image.img.1, image.img.2, ...; a new journal that a load killed part-way
// left behind is removed.
struct EarlierJournal {
  std::string kept;  // the name it now has; "" when there was nothing to keep
  int error = 0;     // errno when it could not be kept
};
EarlierJournal KeepEarlierJournal();
// Whether the journal can be opened for writing, tried without emptying or
// creating anything that matters; errno tells why not.
bool JournalWritable();
// Creates the journal anew with its first line, "SCREEN 8"; it stays open.
bool JournalStart();

// --- Writing.

bool JournalAppend(std::string_view line);
// The lines go in with one write: all of them or none.
bool JournalAppendLines(const std::vector<std::string>& lines);
// The journal's length in bytes, -1 after a failure.
long long JournalLength();
// Cuts the journal back to a length it had (the end of a line).
bool JournalCut(long long length);
// Counts the times the journal began anew (JournalStart, a load's
// JournalNewCommit): what was recorded before belongs to another drawing.
int JournalGeneration();

// --- Changing lines in place.

// Replaces the `length` bytes at `offset` (whole lines, possibly none) by
// `bytes` (whole lines, possibly none). The new journal is written beside
// the journal, synced and renamed over it, and the folder synced, so that
// at every moment image.img is the old journal or the new one, whole. The
// journal's generation stays: what was recorded before still belongs to
// this drawing. On failure the journal stays as it was.
bool JournalReplace(long long offset, long long length, std::string_view bytes);

// --- Reading, through the open journal.

// The journal's bytes from offset to its end.
bool JournalBytesFrom(long long offset, std::string* bytes);
// Writes the journal's lines into the open output file, each with CR LF.
bool JournalCopyTo(int file);
// Draws the journal on the work page as a load draws it, with the text
// state as it stands.
bool JournalDraw();

// --- A load's new journal, put in the journal's place whole or not at all.

// Creates the new journal beside the journal.
bool JournalNewBegin();
bool JournalNewLine(std::string_view line);
// Syncs the new journal and renames it over the journal, which it then is.
// On failure it is removed and the journal stays as it was.
bool JournalNewCommit();
// Removes an unfinished new journal.
void JournalNewDrop();

// --- The end of a run.

// Closes the journal and removes it from the folder.
bool JournalDelete();
// True when path names the journal file itself.
bool IsJournal(const std::string& path);

// For tests and benchmarks: the file at path becomes the journal, opened
// for appending (emptied when `empty`); JournalClose closes it.
bool JournalUse(const std::string& path, bool empty);
void JournalClose();
