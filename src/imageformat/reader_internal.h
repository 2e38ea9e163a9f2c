// reader_internal.h - the reader's line normaliser, exposed for its tests.
//
// RemoveBlanks deletes blanks the way the editor's loader always has: with
// n = length - 1 fixed at the start, for i = 2 .. n it deletes the character
// now at position i (1-based) if it is a blank, then goes on with i + 1. So
// the character that moves into a deleted blank's place is never examined,
// nor are the first and last characters, and of a run of k blanks k / 2
// stay. Runs in one pass, however long the line.
#pragma once

#include <string>

void RemoveBlanks(std::string& s);
