// journal.h - the journal: the drawing as the program that redraws it, one
// statement a line, in image.img in the working folder, open as file 1.
//
// This is the only code that knows the journal's name and file number.
// Every append puts its lines into the file with one write, all or none of
// them, so the journal always ends at a line end: JournalLength is the byte
// offset of a line end, and JournalCut takes the journal back to such an
// offset. A save reads the journal from its start and copies it into the
// user's file; a load writes the drawing into a file of its own, which then
// replaces the journal. Failures go to the error handler; the functions
// tell by their results whether they succeeded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kJournalName = "image.img";
inline constexpr int kJournalFile = 1;

// Creates the journal anew with its first line, "SCREEN 8" (start-up, a new
// image); it stays open for writing.
bool JournalStart();
// Opens the journal for appending again, after it was read or closed (an
// open file 1 is closed first).
bool JournalReopen();
// Opens the journal for reading from its start.
bool JournalOpenForReading();

bool JournalAppend(std::string_view line);
// The lines go in with one write: all of them or none.
bool JournalAppendLines(const std::vector<std::string>& lines);
// The journal's length in bytes, -1 after a failure.
long long JournalLength();
// Cuts the journal back to a length it had (the end of a line).
bool JournalCut(long long length);
// The journal's bytes from offset to its end, as they are on disk; false
// when they cannot be read.
bool JournalBytesFrom(long long offset, std::string* bytes);
// Counts the times the journal began anew (JournalStart, JournalReplaceBy):
// what was recorded before belongs to another drawing.
int JournalGeneration();

// Copies the journal, opened for reading, line by line into the open output
// file; false when a read or a write failed.
bool JournalCopyTo(int file);
// Puts the file at path in the journal's place (by renaming it); the journal
// is then closed.
bool JournalReplaceBy(const char* path);
bool JournalDelete();
// True when path names the journal file itself.
bool IsJournal(const std::string& path);

// A journal left by an earlier run is kept under the first free name
// image.img.1, image.img.2, ...
struct EarlierJournal {
  std::string kept;  // the name it now has; "" when there was nothing to keep
  int error = 0;     // errno when it could not be kept
};
EarlierJournal KeepEarlierJournal();
// Whether the journal can be opened for writing, tried without emptying or
// creating anything that matters; errno tells why not.
bool JournalWritable();
