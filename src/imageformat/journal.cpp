#include "imageformat/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "imageformat/format.h"
#include "runtime/errors.h"
#include "runtime/files.h"

namespace {

constexpr const char* kName = "image.img";
constexpr size_t kReadChunk = 64 * 1024;

struct Journal {
  std::string name = kName;
  int fd = -1;  // open for reading and appending
  int generation = 0;
};

Journal g_journal;

// A new journal is written beside the journal, so that renaming it over the
// journal replaces the one by the other at once.
std::string NewName() {
  return g_journal.name + ".load";
}

bool Fail(int err, const std::string& path = g_journal.name) {
  raise_error(error_number_for_errno(err, path.c_str()));
  return false;
}

// The open journal's descriptor; -1 after reporting that none is open.
int Descriptor() {
  if (g_journal.fd < 0) raise_error(kErrBadFileNumber);
  return g_journal.fd;
}

// Opens path for reading and appending, never waiting; flags may add
// O_CREAT, O_TRUNC, O_NOFOLLOW.
int OpenForAppending(const std::string& path, int flags) {
  return open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | flags, 0666);
}

// Makes fd the journal, closing the one before.
void Adopt(int fd) {
  if (g_journal.fd >= 0) close(g_journal.fd);
  g_journal.fd = fd;
}

bool Write(std::string_view bytes) {
  const int fd = Descriptor();
  if (fd < 0) return false;
  const int err = write_all(fd, bytes);
  return err == 0 || Fail(err);
}

bool LineEndAt(long long offset) {
  char c = 0;
  return pread(g_journal.fd, &c, 1, static_cast<off_t>(offset)) == 1 && c == '\n';
}

// Reads the journal from an offset on, a buffer of whole lines at a time
// (the journal's last line may lack its line end).
struct Reader {
  long long offset = 0;
  std::string buffer;
  size_t handed = 0;  // bytes of buffer already handed out
};

LineRead NextLines(Reader& r, std::string_view* lines) {
  r.buffer.erase(0, r.handed);
  r.handed = 0;
  const int fd = Descriptor();
  if (fd < 0) return LineRead::Failed;
  for (;;) {
    const size_t old = r.buffer.size();
    r.buffer.resize(old + kReadChunk);
    const ssize_t n = pread(fd, r.buffer.data() + old, kReadChunk, static_cast<off_t>(r.offset));
    const int err = errno;
    r.buffer.resize(old + static_cast<size_t>(n > 0 ? n : 0));
    if (n < 0 && err == EINTR) continue;
    if (n < 0) {
      Fail(err);
      return LineRead::Failed;
    }
    r.offset += n;
    // Up to the last line end, searched for in the new bytes only.
    const size_t lf = std::string_view(r.buffer).substr(old).rfind('\n');
    const size_t end = n == 0 ? r.buffer.size() : lf == std::string_view::npos ? 0 : old + lf + 1;
    if (end > 0) {
      *lines = std::string_view(r.buffer).substr(0, end);
      r.handed = end;
      return LineRead::Line;
    }
    if (n == 0) return LineRead::End;
  }
}

// Renames the file at path, open as fd, over the journal, which it then is.
bool RenameIntoPlace(const std::string& path, int fd) {
  if (std::rename(path.c_str(), g_journal.name.c_str()) != 0) {
    const int err = errno;
    close(fd);
    return Fail(err);
  }
  Adopt(fd);
  return true;
}

// True when the file holds exactly the line "SCREEN 8", i.e. nothing drawn.
bool HoldsOnlyHeader(const char* name) {
  FILE* f = std::fopen(name, "rb");
  if (!f) return false;
  char buffer[16];
  size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  return std::string(buffer, n) == "SCREEN 8\r\n";
}

// The file a change in place is written to before it replaces the journal.
std::string EditName() {
  return g_journal.name + ".edit";
}

// Syncs the folder that holds the journal, so that a rename is on disk.
bool SyncJournalFolder() {
  std::string folder = g_journal.name.substr(0, g_journal.name.rfind('/') + 1);
  if (folder.empty()) folder = ".";
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Fail(errno, folder);
  const bool synced = fsync(fd) == 0;
  const int err = errno;
  close(fd);
  return synced || Fail(err, folder);
}

}  // namespace

EarlierJournal KeepEarlierJournal() {
  unlink(NewName().c_str());
  unlink(EditName().c_str());
  const char* name = g_journal.name.c_str();
  struct stat st {};
  if (lstat(name, &st) != 0 || HoldsOnlyHeader(name)) return {};
  for (int i = 1; i < 100000; ++i) {
    std::string kept = g_journal.name + "." + std::to_string(i);
    if (lstat(kept.c_str(), &st) == 0) continue;
    if (std::rename(name, kept.c_str()) == 0) return {kept, 0};
    return {"", errno};
  }
  return {"", EEXIST};
}

bool JournalWritable() {
  const int fd =
      open(g_journal.name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool JournalStart() {
  g_journal.name = kName;
  ++g_journal.generation;
  const int fd = OpenForAppending(g_journal.name, O_CREAT | O_TRUNC);
  if (fd < 0) return Fail(errno);
  Adopt(fd);
  return JournalAppend("SCREEN 8");
}

bool JournalAppend(std::string_view line) {
  std::string bytes(line);
  return Write(bytes.append("\r\n"));
}

bool JournalAppendLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return Write(bytes);
}

long long JournalLength() {
  const int fd = Descriptor();
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    Fail(errno);
    return -1;
  }
  return static_cast<long long>(st.st_size);
}

bool JournalCut(long long length) {
  const long long size = JournalLength();
  if (size < 0) return false;
  if (length < 0 || length > size || (length > 0 && !LineEndAt(length - 1))) {
    raise_error(kErrIllegalFunctionCall);
    return false;
  }
  return ftruncate(g_journal.fd, static_cast<off_t>(length)) == 0 || Fail(errno);
}

bool JournalReplace(long long offset, long long length, std::string_view bytes) {
  std::string old;
  if (!JournalBytesFrom(0, &old)) return false;
  const auto size = static_cast<long long>(old.size());
  auto line_start = [&old](long long at) {
    return at == 0 || old[static_cast<size_t>(at - 1)] == '\n';
  };
  if (offset < 0 || length < 0 || offset + length > size || !line_start(offset) ||
      !line_start(offset + length) || (!bytes.empty() && !bytes.ends_with('\n'))) {
    raise_error(kErrIllegalFunctionCall);
    return false;
  }
  const std::string path = EditName();
  unlink(path.c_str());  // never written through a link left there
  const int fd = OpenForAppending(path, O_CREAT | O_EXCL | O_NOFOLLOW);
  if (fd < 0) return Fail(errno, path);
  std::string whole = old.substr(0, static_cast<size_t>(offset));
  whole.append(bytes).append(old, static_cast<size_t>(offset + length));
  int err = write_all(fd, whole);
  if (err == 0 && fsync(fd) != 0) err = errno;
  if (err != 0) {
    close(fd);
    unlink(path.c_str());
    return Fail(err, path);
  }
  if (!RenameIntoPlace(path, fd)) {
    unlink(path.c_str());
    return false;
  }
  return SyncJournalFolder();
}

int JournalGeneration() {
  return g_journal.generation;
}

bool JournalBytesFrom(long long offset, std::string* bytes) {
  bytes->clear();
  Reader reader{offset, {}, 0};
  std::string_view lines;
  LineRead read;
  while ((read = NextLines(reader, &lines)) == LineRead::Line) bytes->append(lines);
  return read == LineRead::End;
}

bool JournalCopyTo(int file) {
  Reader reader;
  for (std::string_view lines, line;;) {
    const LineRead read = NextLines(reader, &lines);
    if (read != LineRead::Line) return read == LineRead::End;
    while (take_line(&lines, &line)) {
      if (!file_print(file, line)) return false;
    }
  }
}

bool JournalDraw() {
  Reader reader;
  bool failed = false;
  ReadImage({LinesFromBuffers(
                 [&reader](std::string_view* lines) { return NextLines(reader, lines); }, &failed),
             [](std::string_view) {}});
  return !failed;
}

bool JournalNewBegin() {
  unlink(NewName().c_str());  // never written through a link left there
  return file_open(kNewJournalFile, NewName(), FileMode::Output, FileBuffering::Buffered);
}

bool JournalNewLine(std::string_view line) {
  return file_print(kNewJournalFile, line);
}

bool JournalNewCommit() {
  const std::string path = NewName();
  if (!file_sync(kNewJournalFile) || !file_close(kNewJournalFile)) {
    JournalNewDrop();
    return false;
  }
  const int fd = OpenForAppending(path, O_NOFOLLOW);
  if (fd < 0) Fail(errno, path);
  if (fd < 0 || !RenameIntoPlace(path, fd)) {
    JournalNewDrop();
    return false;
  }
  ++g_journal.generation;
  return true;
}

void JournalNewDrop() {
  if (file_is_open(kNewJournalFile)) file_close(kNewJournalFile);
  unlink(NewName().c_str());
}

bool JournalDelete() {
  Adopt(-1);
  return file_delete(g_journal.name);
}

bool IsJournal(const std::string& path) {
  struct stat sa {
  }, sb{};
  return stat(path.c_str(), &sa) == 0 && stat(g_journal.name.c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool JournalUse(const std::string& path, bool empty) {
  g_journal.name = path;
  ++g_journal.generation;
  const int fd = OpenForAppending(path, O_CREAT | (empty ? O_TRUNC : 0));
  if (fd < 0) return Fail(errno);
  Adopt(fd);
  return true;
}

void JournalClose() {
  Adopt(-1);
}
