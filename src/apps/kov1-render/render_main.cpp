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

#include "backends/backends.h"
#include "gfx/screen.h"
#include "imageformat/format.h"
#include "png/png_write.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "runtime/system.h"
#include "strokefont/text_state.h"

namespace {

constexpr const char* kUsage = "usage: kov1-render FILE OUT.png [--scale N]";
constexpr int kFailed = 1, kBadArguments = 2;

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

// The drawing is read with the editor's own file functions, as a load
// reads it; a failure is kept here by number.
int g_failure = 0;

void KeepFailure(int number) {
  if (g_failure == 0) g_failure = number;
}

std::string FailureText(int number) {
  switch (number) {
    case kErrFileNotFound:
      return "no such file";
    case kErrPathNotFound:
      return "no such folder";
    case kErrBadFileName:
      return "not a usable file name";
    case kErrTooManyFiles:
      return "too many open files";
    case kErrPermissionDenied:
      return "a folder, or not readable";
    default:
      return "not a regular file, or it cannot be read";
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

  set_error_handler(KeepFailure);
  if (!file_open(kUserFile, options.input, FileMode::Input)) {
    return Fail(kFailed, Shown(options.input) + ": " + FailureText(g_failure));
  }
  if (!OpenHeadlessScreen()) return Fail(kFailed, "cannot open a headless mode-8 screen");
  text_state() = TextState{};
  bool failed = false;
  ReadImage(
      {LinesFromBuffers([](std::string_view* lines) { return file_next_lines(kUserFile, lines); },
                        &failed),
       [](std::string_view) {}});
  file_close_all();
  if (g_failure != 0) return Fail(kFailed, Shown(options.input) + ": " + FailureText(g_failure));

  if (!WriteAtomically(options.output, PagePicture(options.scale), &error)) {
    return Fail(kFailed, Shown(options.output) + ": " + error);
  }
  return 0;
}
