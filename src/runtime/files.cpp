#include "runtime/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "runtime/errors.h"
#include "runtime/replace_file.h"

namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr size_t kFlushAt = 64 * 1024;
constexpr size_t kStartWritesAt = 1024 * 1024;

struct OpenFile {
  int fd = -1;
  FileMode mode = FileMode::Input;
  FileBuffering buffering = FileBuffering::Unbuffered;
  std::string path;
  std::string data;       // input: bytes read ahead; output: bytes not yet written
  size_t pos = 0;         // input: where the next line starts in data
  bool at_end = false;    // input: the descriptor has nothing more to give
  size_t unsynced = 0;    // buffered output: bytes written since disk writes were started
  Replacement replacing;  // FileMode::Replace: the temporary file written (owns fd)
};

std::array<OpenFile, kMaxFiles + 1> g_files;  // slot 0 unused

bool fail(int number) {
  raise_error(number);
  return false;
}

bool fail(const FileFailure& failure) {
  raise_error(failure);
  return false;
}

bool fail_errno(int err, const std::string& path) {
  return fail(file_failure(err, path));
}

OpenFile* slot(int number) {
  if (number < 1 || number > kMaxFiles) return nullptr;
  return &g_files[static_cast<size_t>(number)];
}

// The open file with this number, or nullptr after reporting why not.
OpenFile* open_file(int number) {
  OpenFile* f = slot(number);
  if (f == nullptr || f->fd < 0) {
    fail(kErrBadFileNumber);
    return nullptr;
  }
  return f;
}

OpenFile* file_in_mode(int number, bool input) {
  OpenFile* f = open_file(number);
  if (f != nullptr && (f->mode == FileMode::Input) != input) {
    fail(kErrBadFileMode);
    return nullptr;
  }
  return f;
}

// The failure of an input that is not a regular file.
FileFailure not_a_file(const std::string& path, const struct stat& st) {
  return {kErrPathFileAccess,
          {path, false, S_ISDIR(st.st_mode) ? FileFault::Folder : FileFault::NotAFile}};
}

// Opens without ever waiting: an input must be a regular file, and an output
// that cannot be written at once (a FIFO without a reader) fails. Returns the
// descriptor, or -1 with *failure set.
int open_descriptor(const std::string& path, FileMode mode, FileFailure* failure) {
  constexpr int kCommon = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  if (mode != FileMode::Input) {
    const int how = mode == FileMode::Output ? O_TRUNC : O_APPEND;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | how | kCommon, 0666);
    if (fd < 0) *failure = file_failure(errno, path);
    return fd;
  }
  // Checked before opening too, so that opening a device has no side effect.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    *failure = file_failure(errno, path);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    *failure = not_a_file(path, st);
    return -1;
  }
  const int fd = open(path.c_str(), O_RDONLY | kCommon);
  if (fd < 0) {
    *failure = file_failure(errno, path);
    return -1;
  }
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    *failure = not_a_file(path, st);
    return -1;
  }
  return fd;
}

}  // namespace

int write_all(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    const int err = n < 0 ? errno : EIO;
    const off_t end = lseek(fd, 0, SEEK_CUR);
    if (done > 0 && end >= static_cast<off_t>(done)) {
      const off_t before = end - static_cast<off_t>(done);
      if (ftruncate(fd, before) == 0) lseek(fd, before, SEEK_SET);
    }
    return err;
  }
  return 0;
}

namespace {

// Writes out what a buffered file holds; the data is dropped either way, so a
// failure is reported once.
bool flush(OpenFile& f) {
  if (f.data.empty()) return true;
  const int err = write_all(f.fd, f.data);
#ifdef __linux__
  // A buffered file is synced once it is complete. Starting the disk writes
  // of every megabyte at once lets them overlap the work that produces the
  // rest, so that the final sync has little left to wait for. Only a hint:
  // the sync reports any failure.
  f.unsynced += f.data.size();
  if (err == 0 && f.unsynced >= kStartWritesAt) {
    sync_file_range(f.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    f.unsynced = 0;
  }
#endif
  f.data.clear();  // keeps its storage for the next lines
  return err == 0 || fail_errno(err, f.path);
}

// Reads more of an input file. False after a read error, which is reported
// and ends the file.
bool fill(OpenFile& f) {
  f.data.erase(0, f.pos);
  f.pos = 0;
  const size_t old_size = f.data.size();
  f.data.resize(old_size + kReadChunk);
  ssize_t n;
  do {
    n = read(f.fd, f.data.data() + old_size, kReadChunk);
  } while (n < 0 && errno == EINTR);
  f.data.resize(old_size + static_cast<size_t>(n > 0 ? n : 0));
  if (n > 0) return true;
  f.at_end = true;
  if (n == 0) return true;
  f.data.clear();
  return fail_errno(errno, f.path);
}

// Finds the next line of an input file, without its line end, as `length`
// bytes at `start` in f.data, and moves past it; they stay there until the
// file is read again. False after a read failure, which is reported.
bool next_line(OpenFile& f, size_t* start, size_t* length) {
  // Bytes of the line searched so far: each byte is searched once, so a
  // line of any length costs time in proportion to it.
  size_t searched = 0;
  for (;;) {
    const char* data = f.data.data();
    const size_t from = f.pos + searched, size = f.data.size();
    const auto* lf = static_cast<const char*>(std::memchr(data + from, '\n', size - from));
    if (lf != nullptr) {
      const size_t at = static_cast<size_t>(lf - data);
      *start = f.pos;
      *length = at - f.pos - (at > f.pos && data[at - 1] == '\r' ? 1 : 0);
      f.pos = at + 1;
      return true;
    }
    if (f.at_end) {
      *start = f.pos;
      *length = size - f.pos;
      f.pos = size;
      return true;
    }
    searched = size - f.pos;
    if (!fill(f)) return false;
  }
}

bool read_line(OpenFile& f, std::string* line) {
  size_t start = 0, length = 0;
  if (!next_line(f, &start, &length)) return false;
  line->assign(f.data, start, length);
  return true;
}

// Puts finished lines into an output file: appended to its buffer when
// buffered, otherwise with one write. append adds the lines to a string.
template <typename Append>
bool write_lines(int number, const Append& append) {
  OpenFile* f = file_in_mode(number, false);
  if (f == nullptr) return false;
  if (f->buffering == FileBuffering::Buffered) {
    append(f->data);
    return f->data.size() < kFlushAt || flush(*f);
  }
  std::string lines;
  append(lines);
  const int err = write_all(f->fd, lines);
  return err == 0 || fail_errno(err, f->path);
}

// The byte at offset in the file an output file writes (it is open for
// writing only); -1 when it cannot be read.
int byte_at(const OpenFile& f, long long offset) {
  const std::string& path = f.mode == FileMode::Replace ? f.replacing.temp : f.path;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  unsigned char byte = 0;
  const bool read = pread(fd, &byte, 1, static_cast<off_t>(offset)) == 1;
  close(fd);
  return read ? byte : -1;
}

}  // namespace

std::string trim_file_name(std::string_view name) {
  const size_t end = name.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1));
}

bool file_open(int number, std::string_view name, FileMode mode, FileBuffering buffering) {
  OpenFile* f = slot(number);
  if (f == nullptr) return fail(kErrBadFileNumber);
  if (f->fd >= 0) return fail(kErrFileAlreadyOpen);
  std::string path = trim_file_name(name);
  if (path.empty() || path.find('\0') != std::string::npos) return fail(kErrBadFileName);
  FileFailure failure;
  Replacement replacing;
  const int fd = mode != FileMode::Replace                   ? open_descriptor(path, mode, &failure)
                 : replace_begin(path, &replacing, &failure) ? replacing.fd
                                                             : -1;
  if (fd < 0) return fail(failure);
  *f = OpenFile{fd, mode, buffering, std::move(path), {}, 0, false, 0, std::move(replacing)};
  return true;
}

std::string file_read_line(int number) {
  std::string line;
  file_read_line(number, &line);
  return line;
}

void file_read_line(int number, std::string* line) {
  line->clear();
  OpenFile* f = file_in_mode(number, true);
  if (f != nullptr) read_line(*f, line);
}

LineRead file_next_line(int number, std::string_view* line) {
  *line = {};
  OpenFile* f = file_in_mode(number, true);
  if (f == nullptr) return LineRead::Failed;
  while (f->pos == f->data.size() && !f->at_end) {
    if (!fill(*f)) return LineRead::Failed;
  }
  if (f->pos == f->data.size()) return LineRead::End;
  size_t start = 0, length = 0;
  if (!next_line(*f, &start, &length)) return LineRead::Failed;
  *line = std::string_view(f->data.data() + start, length);
  return LineRead::Line;
}

LineRead file_next_lines(int number, std::string_view* lines) {
  *lines = {};
  OpenFile* f = file_in_mode(number, true);
  if (f == nullptr) return LineRead::Failed;
  // Bytes searched for a line end so far, so that a long line is searched
  // once however often the buffer must grow for it.
  size_t searched = 0;
  for (;;) {
    const size_t size = f->data.size();
    if (f->pos == size && f->at_end) return LineRead::End;
    const size_t lf = std::string_view(f->data).substr(f->pos + searched).rfind('\n');
    if (lf != std::string_view::npos) {
      const size_t end = f->pos + searched + lf + 1;
      *lines = std::string_view(f->data).substr(f->pos, end - f->pos);
      f->pos = end;
      return LineRead::Line;
    }
    if (f->at_end) {
      *lines = std::string_view(f->data).substr(f->pos);
      f->pos = size;
      return LineRead::Line;
    }
    searched = size - f->pos;
    if (!fill(*f)) return LineRead::Failed;
  }
}

bool file_eof(int number) {
  OpenFile* f = file_in_mode(number, true);
  if (f == nullptr) return true;
  while (f->pos == f->data.size() && !f->at_end) {
    if (!fill(*f)) return true;
  }
  return f->pos == f->data.size();
}

bool file_print(int number, std::string_view text) {
  return write_lines(number, [&](std::string& out) {
    out.append(text);
    out.push_back('\r');
    out.push_back('\n');
  });
}

bool file_print_lines(int number, const std::vector<std::string>& texts) {
  return write_lines(number, [&](std::string& out) {
    for (const std::string& text : texts) out.append(text).append("\r\n");
  });
}

long long file_length(int number) {
  OpenFile* f = file_in_mode(number, false);
  if (f == nullptr) return -1;
  struct stat st {};
  if (fstat(f->fd, &st) != 0) {
    fail_errno(errno, f->path);
    return -1;
  }
  return static_cast<long long>(st.st_size) + static_cast<long long>(f->data.size());
}

bool file_cut(int number, long long length) {
  const long long size = file_length(number);
  if (size < 0) return false;
  OpenFile& f = *slot(number);
  if (!flush(f)) return false;
  if (length < 0 || length > size || (length > 0 && byte_at(f, length - 1) != '\n')) {
    return fail(kErrIllegalFunctionCall);
  }
  // A file opened for output writes where it stands, not at its end.
  if (ftruncate(f.fd, static_cast<off_t>(length)) != 0 ||
      lseek(f.fd, static_cast<off_t>(length), SEEK_SET) < 0) {
    return fail_errno(errno, f.path);
  }
  return true;
}

bool file_sync(int number) {
  OpenFile* f = open_file(number);
  if (f == nullptr) return false;
  if (f->mode == FileMode::Input) return true;
  if (!flush(*f)) return false;
  // Pipes and devices cannot be synced; that is no failure.
  if (fsync(f->fd) == 0 || errno == EINVAL || errno == EROFS) return true;
  return fail_errno(errno, f->path);
}

bool file_commit(int number) {
  OpenFile* f = file_in_mode(number, false);
  if (f == nullptr) return false;
  if (f->mode != FileMode::Replace) return fail(kErrBadFileMode);
  OpenFile committing = std::exchange(*f, OpenFile{});
  const int err = write_all(committing.fd, committing.data);
  FileFailure failure;
  if (err != 0) {
    replace_abandon(&committing.replacing);
    return fail_errno(err, committing.path);
  }
  return replace_commit(&committing.replacing, &failure) || fail(failure);
}

bool file_close(int number) {
  OpenFile* f = open_file(number);
  if (f == nullptr) return false;
  // The slot is free before the handler can run, which may close files itself.
  OpenFile closing = std::exchange(*f, OpenFile{});
  if (closing.mode == FileMode::Replace) {
    replace_abandon(&closing.replacing);
    return true;
  }
  int err = closing.mode == FileMode::Input ? 0 : write_all(closing.fd, closing.data);
  if (close(closing.fd) != 0 && err == 0 && errno != EINTR) err = errno;
  return err == 0 || fail_errno(err, closing.path);
}

void file_close_all() {
  for (int n = 1; n <= kMaxFiles; ++n) {
    if (file_is_open(n)) file_close(n);
  }
}

void file_flush_all() {
  for (int n = 1; n <= kMaxFiles; ++n) {
    OpenFile& f = *slot(n);
    if (f.fd >= 0 && f.mode != FileMode::Input) flush(f);
  }
}

bool file_delete(std::string_view name) {
  const std::string path = trim_file_name(name);
  if (path.empty() || path.find('\0') != std::string::npos) return fail(kErrBadFileName);
  return unlink(path.c_str()) == 0 || fail_errno(errno, path);
}

bool file_is_open(int number) {
  const OpenFile* f = slot(number);
  return f != nullptr && f->fd >= 0;
}
