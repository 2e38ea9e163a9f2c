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
  JournalRestore restore;  // news for the editor
};

Journal g_journal;

// A new journal is written beside the journal, so that renaming it over the
// journal replaces the one by the other at once.
std::string NewName() {
  return g_journal.name + ".load";
}

bool Fail(int err, const std::string& path = g_journal.name) {
  raise_error(file_failure(err, path));
  return false;
}

// The open journal's descriptor; -1 after reporting that none is open.
int Descriptor() {
  if (g_journal.fd < 0) raise_error(kErrBadFileNumber);
  return g_journal.fd;
}

// Opens path for reading and appending, never waiting and never through a
// symbolic link; flags may add O_CREAT, O_EXCL, O_TRUNC.
int OpenForAppending(const std::string& path, int flags) {
  return open(path.c_str(),
              O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | flags, 0666);
}

// Makes fd the journal, closing the one before.
void Adopt(int fd) {
  if (g_journal.fd >= 0) close(g_journal.fd);
  g_journal.fd = fd;
}

// Makes the renames in the journal's folder last through a crash.
void SyncFolder() {
  const size_t slash = g_journal.name.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : g_journal.name.substr(0, slash + 1);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Renames the file at path, open as fd, over the journal, which it then is;
// 0 or errno (fd is then closed).
int RenameIntoPlace(const std::string& path, int fd) {
  if (std::rename(path.c_str(), g_journal.name.c_str()) != 0) {
    const int err = errno;
    close(fd);
    return err;
  }
  Adopt(fd);
  SyncFolder();
  return 0;
}

// Writes bytes as a new journal at path, beside the journal, syncs it and
// renames it into place; 0 or errno, the journal then as it was.
int ReplaceWith(std::string_view bytes, const std::string& path) {
  unlink(path.c_str());  // never written through a link left there
  const int fd = OpenForAppending(path, O_CREAT | O_EXCL);
  if (fd < 0) return errno;
  int err = write_all(fd, bytes);
  if (err == 0 && fsync(fd) != 0) err = errno;
  if (err != 0) close(fd);
  if (err == 0) err = RenameIntoPlace(path, fd);
  if (err != 0) unlink(path.c_str());
  return err;
}

// What stands at name: "" for a regular file or a symbolic link (which may
// be kept aside), else what it is. lstat never opens or follows it.
const char* Unkeepable(const struct stat& st) {
  if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) return nullptr;
  if (S_ISDIR(st.st_mode)) return "a folder";
  if (S_ISFIFO(st.st_mode)) return "a pipe";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  return "a device";
}

// Renames what stands at the journal's name to the first free image.img.N;
// 0 or errno.
int KeepAside(std::string* kept) {
  struct stat st {};
  for (int i = 1; i < 100000; ++i) {
    std::string name = g_journal.name + "." + std::to_string(i);
    if (lstat(name.c_str(), &st) == 0) continue;
    if (std::rename(g_journal.name.c_str(), name.c_str()) != 0) return errno;
    *kept = std::move(name);
    return 0;
  }
  return EEXIST;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// When image.img is no longer the open journal, keeps what stands there
// aside and, when put_back, puts the journal's content back under the name
// (a replacement that follows puts its own there). Failures are news for
// the editor, not errors: the write that follows still goes to the open
// journal, and nothing drawn is lost.
void KeepInPlace(int fd, bool put_back = true) {
  struct stat open_st {
  }, named{};
  if (fstat(fd, &open_st) != 0 || !S_ISREG(open_st.st_mode)) return;
  const bool present = lstat(g_journal.name.c_str(), &named) == 0;
  if (present && SameFile(open_st, named)) return;
  JournalRestore news{true, "", 0};
  if (present) news.error = KeepAside(&news.kept);
  std::string bytes;
  if (news.error == 0 && put_back) {
    news.error = JournalBytesFrom(0, &bytes) ? ReplaceWith(bytes, NewName()) : EIO;
  }
  g_journal.restore = news;
}

// Writes bytes at the journal's end, after the header when it is empty.
bool Write(std::string_view bytes) {
  const int fd = Descriptor();
  if (fd < 0) return false;
  KeepInPlace(fd);
  struct stat st {};
  if (fstat(g_journal.fd, &st) != 0) return Fail(errno);
  std::string with_header;
  if (st.st_size == 0) {
    with_header.append(kJournalHeader).append(bytes);
    bytes = with_header;
  }
  const int err = write_all(g_journal.fd, bytes);
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

// True when the regular file at name holds nothing drawn: nothing, or
// exactly the header.
bool HoldsNothingDrawn(const char* name) {
  const int fd = open(name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0) return false;
  char buffer[16];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  close(fd);
  return n >= 0 && (n == 0 || std::string_view(buffer, static_cast<size_t>(n)) == kJournalHeader);
}

// The file a change in place is written to before it replaces the journal.
std::string EditName() {
  return g_journal.name + ".edit";
}

}  // namespace

EarlierJournal KeepEarlierJournal() {
  unlink(NewName().c_str());
  unlink(EditName().c_str());
  const char* name = g_journal.name.c_str();
  struct stat st {};
  if (lstat(name, &st) != 0) return {};
  if (const char* what = Unkeepable(st)) return {"", 0, what};
  if (S_ISREG(st.st_mode) && HoldsNothingDrawn(name)) return {};
  EarlierJournal earlier;
  earlier.error = KeepAside(&earlier.kept);
  return earlier;
}

bool JournalWritable() {
  const int fd =
      open(g_journal.name.c_str(),
           O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0666);
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
  return Write("");
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
  KeepInPlace(g_journal.fd);
  return ftruncate(g_journal.fd, static_cast<off_t>(length)) == 0 || Fail(errno);
}

bool JournalReplace(long long offset, long long length, std::string_view bytes) {
  const int fd = Descriptor();
  std::string old;
  if (fd < 0 || !JournalBytesFrom(0, &old)) return false;
  const auto size = static_cast<long long>(old.size());
  auto line_start = [&old](long long at) {
    return at == 0 || old[static_cast<size_t>(at - 1)] == '\n';
  };
  if (offset < 0 || length < 0 || offset + length > size || !line_start(offset) ||
      !line_start(offset + length) || (!bytes.empty() && !bytes.ends_with('\n'))) {
    raise_error(kErrIllegalFunctionCall);
    return false;
  }
  std::string whole = old.substr(0, static_cast<size_t>(offset));
  whole.append(bytes).append(old, static_cast<size_t>(offset + length));
  KeepInPlace(fd, false);
  const int err = ReplaceWith(whole, EditName());
  return err == 0 || Fail(err, EditName());
}

int JournalGeneration() {
  return g_journal.generation;
}

bool JournalReplace(std::string_view bytes) {
  const int fd = Descriptor();
  if (fd < 0) return false;
  KeepInPlace(fd, false);
  const int err = ReplaceWith(bytes, NewName());
  return err == 0 || Fail(err);
}

JournalRestore JournalTakeRestore() {
  JournalRestore news = std::move(g_journal.restore);
  g_journal.restore = {};
  return news;
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
    // An empty journal (its header found no room) is saved as the header.
    if (read == LineRead::End && reader.offset == 0) {
      return file_print(file, kJournalHeader.substr(0, kJournalHeader.size() - 2));
    }
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
  // What another program put at the name is kept, not renamed over.
  if (g_journal.fd >= 0) KeepInPlace(g_journal.fd, false);
  const int fd = OpenForAppending(path, 0);
  const int err = fd < 0 ? errno : RenameIntoPlace(path, fd);
  if (err != 0) {
    JournalNewDrop();
    return Fail(err, fd < 0 ? path : g_journal.name);
  }
  ++g_journal.generation;
  return true;
}

void JournalNewDrop() {
  if (file_is_open(kNewJournalFile)) file_close(kNewJournalFile);
  unlink(NewName().c_str());
}

bool JournalDelete() {
  struct stat open_st {
  }, named{};
  const bool ours = g_journal.fd >= 0 && fstat(g_journal.fd, &open_st) == 0 &&
                    lstat(g_journal.name.c_str(), &named) == 0 && SameFile(open_st, named);
  Adopt(-1);
  return !ours || file_delete(g_journal.name);
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
