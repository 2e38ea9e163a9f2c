// kov1-render: draws a saved drawing on a headless screen, reading it as the
// editor's loader does, and writes the picture as a PNG file.
//
//   kov1-render FILE OUT.png [--scale N]
//
// The picture is the editor's page after loading FILE, without the editor's
// help line and border: the shapes and texts on black, 640 x 400 pixels with
// every screen row shown twice, as the window shows it; --scale N (1..8)
// makes it N times larger in both directions. A failure prints one line on
// standard error and ends with status 1 (2 for bad arguments), leaving OUT
// as it was: the PNG goes to a temporary file beside OUT that is renamed
// into place only once it is complete.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gfx/backends/backends.h"
#include "gfx/screen.h"
#include "imagefile/format.h"
#include "imagefile/png_write.h"
#include "runtime/system.h"
#include "text/text_state.h"

namespace {

constexpr const char* kUsage = "usage: kov1-render FILE OUT.png [--scale N]";
constexpr int kFailed = 1, kBadArguments = 2;
constexpr size_t kReadChunk = 64 * 1024;

struct Options {
  std::string input, output;
  int scale = 1;
};

// A name as it can stand in a one-line message: control characters become ?.
std::string Shown(std::string_view name) {
  std::string s(name);
  for (char& c : s) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  }
  return s;
}

// Keeps the reason of a failure; returns false for the caller to return.
bool Refuse(std::string* error, std::string reason) {
  *error = std::move(reason);
  return false;
}

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "kov1-render: %s\n", message.c_str());
  return status;
}

bool ParseScale(const char* text, int* scale) {
  if (text == nullptr || text[0] < '1' || text[0] > '8' || text[1] != '\0') return false;
  *scale = text[0] - '0';
  return true;
}

bool ParseArguments(int argc, char** argv, Options* o, std::string* error) {
  std::vector<std::string> names;
  bool scale_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--scale") {
      if (scale_given) return Refuse(error, "--scale is given twice");
      if (!ParseScale(i + 1 < argc ? argv[i + 1] : nullptr, &o->scale)) {
        return Refuse(error, "--scale needs a whole number from 1 to 8");
      }
      scale_given = true;
      ++i;
    } else if (arg.starts_with("--")) {
      return Refuse(error, "unknown option " + Shown(arg) + "; " + kUsage);
    } else if (arg.empty()) {
      return Refuse(error, "an empty file name; " + std::string(kUsage));
    } else {
      names.emplace_back(arg);
    }
  }
  if (names.size() != 2) return Refuse(error, kUsage);
  o->input = names[0];
  o->output = names[1];
  return true;
}

// The drawing's lines, read as the editor's runtime reads them: LF ends a
// line, a CR right before it is dropped, a last line without LF counts.
struct LineFile {
  int fd = -1;
  std::string data;
  size_t pos = 0;       // where the next line starts in data
  size_t searched = 0;  // data up to here holds no LF after pos
  bool at_end = false;
  int read_error = 0;  // errno of a failed read
};

// Only a regular file is read: opening a device or a FIFO could block or
// have side effects, so the kind is checked before opening and again after.
bool OpenInput(const std::string& path, LineFile* f, std::string* error) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return Refuse(error, std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return Refuse(error, "is a directory");
  if (!S_ISREG(st.st_mode)) return Refuse(error, "is not a regular file");
  f->fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (f->fd < 0) return Refuse(error, std::strerror(errno));
  if (fstat(f->fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(f->fd);
    f->fd = -1;
    return Refuse(error, "is not a regular file");
  }
  return true;
}

// Reads more of the file; false after a read error.
bool Fill(LineFile& f) {
  f.data.erase(0, f.pos);
  f.searched -= f.pos;
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
  if (n < 0) f.read_error = errno;
  return n == 0;
}

// The next line into *line; false at the end of the file or after an error.
bool ReadLine(LineFile& f, std::string* line) {
  for (;;) {
    const size_t lf = f.data.find('\n', f.searched);
    if (lf != std::string::npos) {
      const size_t end = lf > f.pos && f.data[lf - 1] == '\r' ? lf - 1 : lf;
      line->assign(f.data, f.pos, end - f.pos);
      f.pos = f.searched = lf + 1;
      return true;
    }
    f.searched = f.data.size();
    if (f.at_end) {
      if (f.read_error != 0 || f.pos == f.data.size()) return false;
      line->assign(f.data, f.pos);
      f.pos = f.searched = f.data.size();
      return true;
    }
    if (!Fill(f)) return false;
  }
}

// A mode-8 screen of two pages that shows nothing. The Null back-end is
// chosen through the environment, whatever it held: the flags value that
// also selects it would ask for an OpenGL depth of 16 bits per pixel.
bool OpenHeadlessScreen() {
  register_standard_backends();
  setenv("TRVGFX", "null", 1);
  if (SCREEN(8, 4, 2, 0, 0) != 0) return false;
  const GfxScreen* s = gfx_screen();
  return s != nullptr && s->bytes_per_pixel == 1;
}

// Page 0 as the window shows it (each row scanline_size times), enlarged
// `scale` times, with the screen's palette.
IndexedImage PagePicture(int scale) {
  const GfxScreen* s = gfx_screen();
  IndexedImage image;
  image.width = s->width * scale;
  image.height = s->height * s->scanline_size * scale;
  image.pixels.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
  image.colours.assign(s->palette, s->palette + 256);
  const size_t width = static_cast<size_t>(image.width);
  uint8_t* out = image.pixels.data();
  for (int y = 0; y < s->height; ++y) {
    const uint8_t* row = s->pages[0] + static_cast<size_t>(y) * static_cast<size_t>(s->pitch);
    uint8_t* first = out;
    for (int x = 0; x < s->width; ++x) {
      for (int i = 0; i < scale; ++i) *out++ = row[x];
    }
    for (int i = 1; i < s->scanline_size * scale; ++i, out += width) {
      std::memcpy(out, first, width);
    }
  }
  return image;
}

// Writes the PNG to a temporary file next to `path` and renames it into
// place once it is complete and on disk.
bool WriteAtomically(const std::string& path, const IndexedImage& image, std::string* error) {
  std::string temp = path + ".tmp-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return Refuse(error, std::strerror(errno));
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    *error = std::strerror(errno);
    close(fd);
    unlink(temp.c_str());
    return false;
  }
  bool ok = WritePng(file, image, error);
  if (ok && (std::fflush(file) != 0 || fsync(fd) != 0)) ok = Refuse(error, std::strerror(errno));
  if (std::fclose(file) != 0 && ok) ok = Refuse(error, std::strerror(errno));
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = Refuse(error, std::strerror(errno));
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  runtime_init();
  if (argc == 2 && std::string_view(argv[1]) == "--help") {
    std::printf("%s\n", kUsage);
    return 0;
  }
  Options options;
  std::string error;
  if (!ParseArguments(argc, argv, &options, &error)) return Fail(kBadArguments, error);

  LineFile input;
  if (!OpenInput(options.input, &input, &error)) {
    return Fail(kFailed, Shown(options.input) + ": " + error);
  }
  if (!OpenHeadlessScreen()) return Fail(kFailed, "cannot open a headless mode-8 screen");
  text_state() = TextState{};
  ImageLines lines;
  lines.next = [&input](std::string* line) { return ReadLine(input, line); };
  lines.copy = [](const std::string&) {};
  ReadImage(lines);
  close(input.fd);
  if (input.read_error != 0) {
    return Fail(kFailed, Shown(options.input) + ": " + std::strerror(input.read_error));
  }

  if (!WriteAtomically(options.output, PagePicture(options.scale), &error)) {
    return Fail(kFailed, Shown(options.output) + ": " + error);
  }
  return 0;
}
