// The Script back-end: no window and no window thread; keys come from a
// script file, and the program's clock is virtual, so a run is the same on
// any machine.
//
// TRVGFX_SCRIPT names the script (its lines: script_parse.h), TRVGFX_SNAPSHOTS
// the folder for snapshots (default: the current directory). open reads and
// checks the whole script and the folder; a fault is printed on standard
// error and ends the process with status 2 before the program goes on.
//
// The back-end acts only at an empty-ring moment (INKEY, the key test, a key
// wait or SLEEP finding the ring empty): the clock advances 10 ms, pending
// wait, snap, pages, title, copy and kill lines are carried out, then the
// next key or burst is written into the ring with its normal write; the
// caller still finds the ring empty and the program's next read gets the
// key. The first moment with no line left writes the snapshot "final",
// prints "script ended", flushes the program's files and ends the process
// with status 3. If the program closes the screen first, the unused lines
// are reported on standard error. The clock stays virtual after the screen
// closes.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "backends/backends.h"
#include "backends/script_parse.h"
#include "gfx/display_driver.h"
#include "gfx/screen.h"
#include "runtime/clock.h"
#include "runtime/errors.h"
#include "runtime/files.h"

namespace {

struct ScriptRun {
  bool open = false;
  std::string path;    // the script, for messages
  std::string folder;  // where snapshots go
  std::vector<ScriptStep> steps;
  size_t next = 0;     // the first step not carried out in full
  size_t pressed = 0;  // presses of steps[next] already written
  std::string title;   // the window's title as the program last set it
};

ScriptRun g_run;
bool g_flush_failed = false;

[[noreturn]] void stop(const std::string& message, int status) {
  std::fprintf(stderr, "script: %s\n", message.c_str());
  std::fflush(stdout);
  _exit(status);
}

std::string at_line(int line) {
  return g_run.path + ":" + std::to_string(line) + ": ";
}

bool read_whole_file(const char* path, std::string& text) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  const bool ok = !std::ferror(f);
  const int err = errno;
  std::fclose(f);
  errno = err;
  return ok;
}

// Why snapshots cannot be written into the folder; "" when they can.
std::string folder_problem(const std::string& folder) {
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0) return std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return "not a folder";
  if (access(folder.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return "";
}

void note_flush_failure(int) {
  g_flush_failed = true;
}

// Flushes the program's files without calling the program's error handler,
// which could wait for keys that will never come.
bool flush_program_files() {
  g_flush_failed = false;
  const ErrorHandler previous = set_error_handler(note_flush_failure);
  file_flush_all();
  set_error_handler(previous);
  return !g_flush_failed;
}

std::string pnm_header(const char* magic, const GfxScreen* s) {
  return std::string(magic) + "\n" + std::to_string(s->width) + " " + std::to_string(s->height) +
         "\n255\n";
}

// The raw pixel values of a page.
std::string pgm_bytes(const GfxScreen* s, const uint8_t* page) {
  std::string out = pnm_header("P5", s);
  for (int y = 0; y < s->height; ++y) {
    out.append(reinterpret_cast<const char*>(page) + static_cast<size_t>(y) * s->pitch,
               static_cast<size_t>(s->width));
  }
  return out;
}

// The visible page in its palette colours (0x00BBGGRR) as R, G, B bytes.
std::string ppm_bytes(const GfxScreen* s) {
  std::string out = pnm_header("P6", s);
  out.reserve(out.size() + static_cast<size_t>(s->width) * s->height * 3);
  for (int y = 0; y < s->height; ++y) {
    const uint8_t* row = s->visible + static_cast<size_t>(y) * s->pitch;
    for (int x = 0; x < s->width; ++x) {
      const uint32_t c = s->palette[row[x]];
      out += static_cast<char>(c & 0xFF);
      out += static_cast<char>((c >> 8) & 0xFF);
      out += static_cast<char>((c >> 16) & 0xFF);
    }
  }
  return out;
}

// Writes a snapshot file; a failure ends the run, since a missing or stale
// snapshot would pass for a good one. line 0: the final snapshot.
void write_snapshot_file(const std::string& file, const std::string& bytes, int line) {
  const std::string path = g_run.folder + "/" + file;
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  int err = errno;
  if (f && std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok) return;
  flush_program_files();
  const std::string where = line ? at_line(line) : g_run.path + ": at the end: ";
  stop(where + "cannot write " + path + ": " + std::strerror(err), 2);
}

void snap(const GfxScreen* s, const std::string& name, int line) {
  write_snapshot_file(name + ".ppm", ppm_bytes(s), line);
  write_snapshot_file(name + ".pgm", pgm_bytes(s, s->visible), line);
}

void snap_pages(const GfxScreen* s, const std::string& name, int line) {
  for (int p = 0; p < 2 && p < s->page_count; ++p) {
    write_snapshot_file(name + "-" + std::to_string(p) + ".pgm", pgm_bytes(s, s->pages[p]), line);
  }
}

void copy_file(const std::string& file, const std::string& name, int line) {
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return;
  std::string bytes;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
  std::fclose(f);
  write_snapshot_file(name, bytes, line);
}

[[noreturn]] void end_of_script(const GfxScreen* s) {
  snap(s, "final", 0);
  std::fputs("script ended\n", stderr);
  if (!flush_program_files())
    std::fputs("script: the program's files could not be flushed\n", stderr);
  std::fflush(stdout);
  _exit(3);
}

// Writes the next key press of a Press step, or all keys of a Burst step.
void write_keys(GfxScreen* s, const ScriptStep& step) {
  lock_screen();
  if (step.kind == StepKind::Burst) {
    for (uint32_t code : step.keys) key_ring_write(s->keys, code);
    ++g_run.next;
  } else {
    key_ring_write(s->keys, step.keys[g_run.pressed % step.keys.size()]);
    if (++g_run.pressed == step.keys.size() * static_cast<size_t>(step.repeat)) {
      ++g_run.next;
      g_run.pressed = 0;
    }
  }
  unlock_screen_unflagged();
}

int script_open(GfxScreen* s, const char* title, int, int, int, int, int) {
  g_run = ScriptRun{};
  g_run.title = title;
  if (s->bytes_per_pixel != 1) {
    std::fputs("script: snapshots need a screen of one byte per pixel\n", stderr);
    return 1;
  }
  const char* path = std::getenv("TRVGFX_SCRIPT");
  if (!path || !*path) stop("TRVGFX_SCRIPT does not name a script", 2);
  g_run.path = path;
  std::string text;
  if (!read_whole_file(path, text)) {
    stop(g_run.path + ": cannot read the script: " + std::strerror(errno), 2);
  }
  const char* folder = std::getenv("TRVGFX_SNAPSHOTS");
  g_run.folder = folder && *folder ? folder : ".";
  if (std::string problem = folder_problem(g_run.folder); !problem.empty()) {
    stop(g_run.folder + ": cannot write snapshots there: " + problem, 2);
  }
  ScriptError error;
  if (!parse_script(text, g_run.steps, error)) stop(at_line(error.line) + error.reason, 2);
  g_run.open = true;
  clock_use_virtual(true);
  return 0;
}

void script_close() {
  if (g_run.open && g_run.next < g_run.steps.size()) {
    const size_t left = g_run.steps.size() - g_run.next;
    std::fprintf(stderr, "script: %zu line%s not used, from line %d\n", left, left == 1 ? "" : "s",
                 g_run.steps[g_run.next].line);
  }
  g_run = ScriptRun{};
}

void script_on_empty_ring() {
  GfxScreen* s = gfx_screen();
  if (!g_run.open || !s) return;
  clock_advance_ms(10);
  if (g_run.next == g_run.steps.size()) end_of_script(s);
  while (g_run.next < g_run.steps.size()) {
    const ScriptStep& step = g_run.steps[g_run.next];
    switch (step.kind) {
      case StepKind::Press:
      case StepKind::Burst:
        write_keys(s, step);
        return;
      case StepKind::Wait:
        clock_advance_ms(step.ms);
        break;
      case StepKind::Snap:
        snap(s, step.name, step.line);
        break;
      case StepKind::Pages:
        snap_pages(s, step.name, step.line);
        break;
      case StepKind::Title:
        write_snapshot_file(step.name + ".txt", g_run.title + "\n", step.line);
        break;
      case StepKind::Copy:
        copy_file(step.file, step.name, step.line);
        break;
      case StepKind::Kill:
        std::fflush(stderr);
        raise(SIGKILL);
        break;
    }
    ++g_run.next;
  }
}

// There is no window thread to share anything with, and no real time passes.
void script_lock() {}
void script_unlock() {}
void script_wait_for_key(int) {}

void script_set_title(const char* utf8) {
  g_run.title = utf8;
}

}  // namespace

const DisplayDriver kScriptDriver = {
    .name = "Script",
    .open = script_open,
    .close = script_close,
    .lock = script_lock,
    .unlock = script_unlock,
    .set_palette_entry = nullptr,
    .wait_for_retrace = nullptr,
    .list_modes = nullptr,
    .on_empty_ring = script_on_empty_ring,
    .wait_for_key = script_wait_for_key,
    .set_title = script_set_title,
    .virtual_time = true,
    .only_by_name = true,
};
