// files.h - numbered sequential files, as the program's BASIC statements
// use them.
//
// Files 1..kMaxFiles are opened for input, output or appending by number.
// Lines end at LF when read (a CR before the LF is dropped); file_print
// writes a text and CR LF. Trailing blanks of a name are removed. Failures
// go to the error handler (errors.h) with their error number and leave the
// operation without effect: an input file must be a regular file, and
// opening for output or appending never blocks. An unbuffered file puts each
// printed line into the file with one write as it is printed, so a killed
// process loses no finished line; a buffered file reports a write failure
// when its data is flushed or it is closed, at the latest, and starts the
// disk writes of what it has written as it goes, for the sync at its end.
// A file opened to replace the named one is written to a temporary file
// beside it that takes the name only at file_commit (replace_file.h).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

constexpr int kMaxFiles = 4;

// What each file number is for: the user's drawing while it is saved,
// loaded or rendered, and the new journal a load writes beside the journal
// (which holds its own descriptor and has no number).
enum : int { kUserFile = 2, kNewJournalFile = 3 };

// Replace: output that takes the file's name only once complete.
enum class FileMode { Input, Output, Append, Replace };
enum class FileBuffering { Unbuffered, Buffered };

// Returns true on success; on failure the error handler has run.
bool file_open(int number, std::string_view name, FileMode mode,
               FileBuffering buffering = FileBuffering::Unbuffered);
// Reads one line without its line end; "" at the end or after a failure.
std::string file_read_line(int number);
// The same into *line, reusing its storage.
void file_read_line(int number, std::string* line);
// True when no further line can be read (also after a read error).
bool file_eof(int number);
// Reads the next line into *line: Line, End when the file has no further
// line, or Failed when the read failed (reported), so that a failure part
// way is told from the end. The line is a view of the file's buffer, valid
// until the file is next read or closed.
enum class LineRead { Line, End, Failed };
LineRead file_next_line(int number, std::string_view* line);
// Reads as many whole lines as the file's buffer holds at once, for loops
// over many lines: *lines views them with their line ends (the file's last
// line may have none), valid until the file is next read or closed; cut
// them apart with take_line. Line when there are lines, else End or Failed.
LineRead file_next_lines(int number, std::string_view* lines);
// The position of the first LF in text; npos when there is none. Searched
// eight bytes at a time: lines are short, and a library search costs more
// to set up than this takes.
inline size_t find_lf(std::string_view text) {
  constexpr uint64_t kEach = 0x0101010101010101;
  size_t at = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; at + 8 <= text.size(); at += 8) {
      uint64_t eight;
      std::memcpy(&eight, text.data() + at, 8);
      const uint64_t x = eight ^ kEach * '\n';  // zero bytes where the LFs are
      const uint64_t zero = (x - kEach) & ~x & kEach * 0x80;
      if (zero != 0) return at + static_cast<size_t>(std::countr_zero(zero) / 8);
    }
  }
  for (; at < text.size(); ++at) {
    if (text[at] == '\n') return at;
  }
  return std::string_view::npos;
}

// Cuts the first line off *lines into *line, without its line end (LF, and
// a CR right before it); false when *lines is empty.
inline bool take_line(std::string_view* lines, std::string_view* line) {
  if (lines->empty()) return false;
  const size_t lf = find_lf(*lines);
  const size_t end = lf == std::string_view::npos ? lines->size() : lf;
  *line = lines->substr(
      0, end > 0 && end != lines->size() && (*lines)[end - 1] == '\r' ? end - 1 : end);
  lines->remove_prefix(lf == std::string_view::npos ? end : end + 1);
  return true;
}
// Writes text followed by CR LF; true on success.
bool file_print(int number, std::string_view text);
// Writes each text followed by CR LF with one write, so that either all of
// them or none reach an unbuffered file; true on success.
bool file_print_lines(int number, const std::vector<std::string>& texts);
// The length in bytes of an output or append file, its buffered lines
// included; -1 after a failure.
long long file_length(int number);
// Cuts an output or append file back to its first length bytes, which must
// end at a line end (or be 0): a file is never left with half a line. True
// on success; a length past the end or within a line is an illegal call.
bool file_cut(int number, long long length);
// Flushes and syncs a buffered file; true on success.
bool file_sync(int number);
// Puts a file opened with FileMode::Replace, complete and synced, in the
// named file's place, and closes it; true on success. On failure the named
// file is as it was.
bool file_commit(int number);
// Closes one file; true when all its data reached the file. A Replace file
// that was not committed is thrown away, and the named file stays as it was.
bool file_close(int number);
// Closes every open file.
void file_close_all();
// Flushes every open output file (without closing).
void file_flush_all();
// Writes all bytes to a descriptor, going on after short writes. On failure
// a regular file is cut back to its length before the call, so that none of
// the bytes stay in it. Returns 0 or the errno value; nothing is reported.
int write_all(int fd, std::string_view bytes);
// Deletes a file by name; true on success.
bool file_delete(std::string_view name);
bool file_is_open(int number);
// The name without trailing blanks.
std::string trim_file_name(std::string_view name);
