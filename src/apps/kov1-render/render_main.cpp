// kov1-render: draws a saved drawing on a headless screen, reading it as the
// editor's loader does, and writes the picture as a PNG file.
//
//   kov1-render FILE OUT.png [--crop X,Y,W,H] [--scale N]
//
// The picture is the editor's page after loading FILE, without the editor's
// help line and border: the shapes and texts on black, 640 x 400 pixels with
// every screen row shown twice, as the window shows it. --crop keeps the
// W x H screen pixels from (X, Y), still every row twice; --scale N (1..16)
// makes the picture N times larger in both directions. A failure prints one
// line on standard error and ends with status 1 (2 for bad arguments),
// leaving OUT as it was: the PNG goes to a temporary file beside OUT that is
// renamed into place only once it is complete.
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

constexpr const char* kUsage = "usage: kov1-render FILE OUT.png [--crop X,Y,W,H] [--scale N]";
constexpr const char* kHelp =
    "\n"
    "Draws the saved KOV1 drawing FILE as the editor shows it, without its help\n"
    "line and border, and writes it to OUT.png: 640 x 400 pixels, every one of\n"
    "the screen's 200 rows twice.\n"
    "\n"
    "  --crop X,Y,W,H  only the W x H screen pixels from column X, row Y\n"
    "                  (the picture is then W x 2H pixels)\n"
    "  --scale N       N times larger in both directions, N from 1 to 16\n"
    "  --help          show this text\n"
    "\n"
    "More: man kov1-render\n";
constexpr int kMaxScale = 16;
constexpr int kFailed = 1, kBadArguments = 2;

// A part of the 640 x 200 screen, in screen pixels.
struct Crop {
  int x = 0, y = 0, width = 640, height = 200;
};

struct Options {
  std::string input, output;
  Crop crop;
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

// A whole number written in plain digits, no sign and no leading zero,
// up to `most`; the text after it is left in *text.
bool ParseWhole(std::string_view* text, int most, int* value) {
  const std::string_view t = *text;
  size_t n = 0;
  long v = 0;
  while (n < t.size() && t[n] >= '0' && t[n] <= '9' && v <= most) v = v * 10 + (t[n++] - '0');
  if (n == 0 || v > most || (n > 1 && t[0] == '0')) return false;
  *value = static_cast<int>(v);
  text->remove_prefix(n);
  return true;
}

bool ParseScale(const char* text, int* scale) {
  std::string_view t = text == nullptr ? "" : text;
  return ParseWhole(&t, kMaxScale, scale) && t.empty() && *scale >= 1;
}

// "X,Y,W,H": a part of at least one pixel that lies wholly on the screen.
bool ParseCrop(const char* text, Crop* crop) {
  std::string_view t = text == nullptr ? "" : text;
  int* fields[] = {&crop->x, &crop->y, &crop->width, &crop->height};
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && !t.starts_with(',')) return false;
    if (i > 0) t.remove_prefix(1);
    if (!ParseWhole(&t, 640, fields[i])) return false;
  }
  return t.empty() && crop->width >= 1 && crop->height >= 1 && crop->x + crop->width <= 640 &&
         crop->y + crop->height <= 200;
}

bool ParseArguments(int argc, char** argv, Options* o, std::string* error) {
  std::vector<std::string> names;
  bool scale_given = false, crop_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--scale") {
      if (scale_given) return Refuse(error, "--scale is given twice");
      if (!ParseScale(value, &o->scale)) {
        return Refuse(error, "--scale needs a whole number from 1 to 16");
      }
      scale_given = true;
      ++i;
    } else if (arg == "--crop") {
      if (crop_given) return Refuse(error, "--crop is given twice");
      if (!ParseCrop(value, &o->crop)) {
        return Refuse(error, "--crop needs X,Y,W,H: a part of the 640 x 200 screen");
      }
      crop_given = true;
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

// The crop of page 0 as the window shows it (each row scanline_size times),
// enlarged `scale` times, with the screen's palette.
IndexedImage PagePicture(const Crop& crop, int scale) {
  const GfxScreen* s = gfx_screen();
  IndexedImage image;
  image.width = crop.width * scale;
  image.height = crop.height * s->scanline_size * scale;
  image.pixels.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
  image.colours.assign(s->palette, s->palette + 256);
  const size_t width = static_cast<size_t>(image.width);
  uint8_t* out = image.pixels.data();
  for (int y = crop.y; y < crop.y + crop.height; ++y) {
    const uint8_t* row = s->pages[0] + static_cast<size_t>(y) * static_cast<size_t>(s->pitch);
    uint8_t* first = out;
    for (int x = crop.x; x < crop.x + crop.width; ++x) {
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
    std::printf("%s\n%s", kUsage, kHelp);
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

  if (!WriteAtomically(options.output, PagePicture(options.crop, options.scale), &error)) {
    return Fail(kFailed, Shown(options.output) + ": " + error);
  }
  return 0;
}
