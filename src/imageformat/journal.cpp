#include "imageformat/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "runtime/errors.h"
#include "runtime/files.h"

namespace {

int g_generation = 0;

// True when the file holds exactly the line "SCREEN 8", i.e. nothing drawn.
bool HoldsOnlyHeader(const char* name) {
  FILE* f = std::fopen(name, "rb");
  if (!f) return false;
  char buffer[16];
  size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  return std::string(buffer, n) == "SCREEN 8\r\n";
}

}  // namespace

bool JournalStart() {
  ++g_generation;
  return file_open(kJournalFile, kJournalName, FileMode::Output) &&
         file_print(kJournalFile, "SCREEN 8");
}

bool JournalReopen() {
  if (file_is_open(kJournalFile)) file_close(kJournalFile);
  return file_open(kJournalFile, kJournalName, FileMode::Append);
}

bool JournalOpenForReading() {
  if (file_is_open(kJournalFile)) file_close(kJournalFile);
  return file_open(kJournalFile, kJournalName, FileMode::Input);
}

bool JournalAppend(std::string_view line) {
  return file_print(kJournalFile, line);
}

bool JournalAppendLines(const std::vector<std::string>& lines) {
  return file_print_lines(kJournalFile, lines);
}

long long JournalLength() {
  return file_length(kJournalFile);
}

bool JournalCut(long long length) {
  return file_cut(kJournalFile, length);
}

bool JournalBytesFrom(long long offset, std::string* bytes) {
  bytes->clear();
  const int fd = open(kJournalName, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[4096];
  ssize_t n = 0;
  while ((n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(offset))) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    bytes->append(buffer, static_cast<size_t>(n));
    offset += n;
  }
  close(fd);
  return n == 0;
}

int JournalGeneration() {
  return g_generation;
}

bool JournalCopyTo(int file) {
  std::string_view line;
  for (;;) {
    const LineRead read = file_next_line(kJournalFile, &line);
    if (read == LineRead::End) return true;
    if (read == LineRead::Failed || !file_print(file, line)) return false;
  }
}

bool JournalReplaceBy(const char* path) {
  if (std::rename(path, kJournalName) == 0) {
    ++g_generation;
    return true;
  }
  raise_error(error_number_for_errno(errno, kJournalName));
  return false;
}

bool JournalDelete() {
  return file_delete(kJournalName);
}

bool IsJournal(const std::string& path) {
  struct stat sa {
  }, sb{};
  return stat(path.c_str(), &sa) == 0 && stat(kJournalName, &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

EarlierJournal KeepEarlierJournal() {
  struct stat st {};
  if (lstat(kJournalName, &st) != 0 || HoldsOnlyHeader(kJournalName)) return {};
  for (int i = 1; i < 100000; ++i) {
    std::string name = std::string(kJournalName) + "." + std::to_string(i);
    if (lstat(name.c_str(), &st) == 0) continue;
    if (std::rename(kJournalName, name.c_str()) == 0) return {name, 0};
    return {"", errno};
  }
  return {"", EEXIST};
}

bool JournalWritable() {
  const int fd = open(kJournalName, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return false;
  close(fd);
  return true;
}
