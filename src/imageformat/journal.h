// journal.h - the journal: the drawing as the program that redraws it, one
// statement a line, in image.img in the working folder.
//
// This module alone opens, reads, writes, replaces and deletes the journal.
// It holds the journal open for reading and appending from start-up to the
// end of the run, so saves, loads and fills read it without closing it, and
// never opens it through a symbolic link or waits on what stands at its
// name. Every append puts its lines into the file with one write, all or
// none of them, so the journal always ends at a line end: JournalLength is
// the byte offset of a line end, and JournalCut takes the journal back to
// such an offset. An append to an empty journal brings the header line
// first, in the same write, so the journal is always a program. A load, a
// new image and undoing one write the new journal beside the journal, sync
// it and rename it into place, so that image.img is always the old journal
// or the new one, whole. Before each change the journal makes sure that
// image.img is still the file it has open; when another program removed or
// replaced it, the journal is put back (see JournalTakeRestore). Failures go
// to the error handler, naming the file; the functions return false (or -1)
// after one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The journal's first line, with its line end.
inline constexpr std::string_view kJournalHeader = "SCREEN 8\r\n";

// --- Start-up.

// A journal left by an earlier run is kept under the first free name
// image.img.1, image.img.2, ...; a symbolic link there is kept so itself,
// never followed. One that holds nothing drawn (empty, or the header alone)
// is not kept. Anything else at image.img (a folder, a pipe, a device, a
// socket) cannot be kept and is left alone, unopened. A new journal that a
// load or a new image killed part-way left behind is removed.
struct EarlierJournal {
  std::string kept;            // the name it now has; "" when there was nothing to keep
  int error = 0;               // errno when it could not be kept
  const char* what = nullptr;  // "a folder", "a pipe", ...: what stands there instead
};
EarlierJournal KeepEarlierJournal();
// Whether the journal can be opened for writing, tried without emptying or
// creating anything that matters; errno tells why not.
bool JournalWritable();
// Creates the journal anew with its header; it stays open.
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
// JournalReplace is no new beginning: its callers record it themselves.
int JournalGeneration();
// Puts bytes (whole lines) in the journal's place, whole or not at all.
bool JournalReplace(std::string_view bytes);

// --- Kept in place.

// What the journal found when image.img was no longer the file it has open:
// it kept whatever stood there under `kept` ("" when it had been removed)
// and put its own content back under the name; `error` is errno when that
// could not be done (the journal is then still written, through the file it
// has open). The news is given once; `happened` is false when there is none.
struct JournalRestore {
  bool happened = false;
  std::string kept;
  int error = 0;
};
JournalRestore JournalTakeRestore();

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
// Writes the journal's lines into the open output file, each with CR LF;
// an empty journal as its header line, so that a saved drawing always is a
// program.
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

// Closes the journal and removes it from the folder, unless another file
// has taken its name.
bool JournalDelete();
// True when path names the journal file itself.
bool IsJournal(const std::string& path);

// For tests and benchmarks: the file at path becomes the journal, opened
// for appending (emptied when `empty`); JournalClose closes it.
bool JournalUse(const std::string& path, bool empty);
void JournalClose();
