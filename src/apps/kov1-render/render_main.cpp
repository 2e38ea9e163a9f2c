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
// renamed into place only once it is complete. "-" as OUT writes the PNG to
// standard output; an OUT that is not a regular file, or that is FILE
// itself, is refused.
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
#include "runtime/cp437.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "runtime/replace_file.h"
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
    "OUT.png may be - for standard output. An existing OUT.png must be a regular\n"
    "file (a symbolic link is written through); it is replaced once the picture\n"
    "is complete.\n"
    "\n"
    "More: man kov1-render\n";
constexpr int kMaxScale = 16;
constexpr std::string_view kStandardOutput = "-";
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
      return Refuse(error, "unknown option " + controls_as_question_marks(arg) + "; " + kUsage);
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
// reads it; the first failure is kept here.
FileFailure g_failure;

void KeepFailure(int number) {
  if (g_failure.number == 0) g_failure = {number, error_subject()};
}

std::string PermissionText(const ErrorSubject& s) {
  const std::string where =
      s.folder ? "no new file can be made in the folder " + controls_as_question_marks(s.name) : "";
  switch (s.fault) {
    case FileFault::NoPermission:
      return s.folder ? "permission denied: " + where : "permission denied";
    case FileFault::ReadOnly:
      return s.folder ? "read-only file system: " + where : "on a read-only file system";
    default:
      return "in use";
  }
}

std::string FailureText(const FileFailure& f) {
  switch (f.number) {
    case kErrFileNotFound:
      return "no such file";
    case kErrPathNotFound:
      return "no such folder";
    case kErrBadFileName:
      return "not a usable file name";
    case kErrTooManyFiles:
      return "too many open files";
    case kErrDiskFull:
      return "no room on the disk, or past the file-size limit";
    case kErrPermissionDenied:
      return PermissionText(f.subject);
    case kErrPathFileAccess:
      return f.subject.fault == FileFault::Folder
                 ? "a folder"
                 : "not a regular file (a device, FIFO or socket); left alone";
    default:
      return "it cannot be read or written";
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

// True when the two names stand for one file.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// The PNG file's bytes; false with the reason when it cannot be made.
bool EncodePng(const IndexedImage& image, std::string* bytes, std::string* error) {
  char* data = nullptr;
  size_t size = 0;
  std::FILE* memory = open_memstream(&data, &size);
  if (memory == nullptr) return Refuse(error, std::strerror(errno));
  const bool ok = WritePng(memory, image, error) && std::fclose(memory) == 0;
  if (ok) bytes->assign(data, size);
  std::free(data);
  return ok;
}

// Writes all of bytes; 0 or the errno value.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

bool WriteToStandardOutput(const std::string& png, std::string* error) {
  if (isatty(STDOUT_FILENO)) {
    return Refuse(error, "standard output is a terminal; send it to a file or a program");
  }
  const int err = WriteAll(STDOUT_FILENO, png);
  return err == 0 || Refuse(error, FailureText(file_failure(err, "-")));
}

// Writes the PNG to a temporary file beside `path` that replaces it once it
// is complete and on disk.
bool WriteReplacing(const std::string& path, const std::string& png, std::string* error) {
  Replacement r;
  FileFailure failure;
  if (!replace_begin(path, &r, &failure)) return Refuse(error, FailureText(failure));
  if (const int err = WriteAll(r.fd, png); err != 0) {
    replace_abandon(&r);
    return Refuse(error, FailureText(file_failure(err, path)));
  }
  return replace_commit(&r, &failure) || Refuse(error, FailureText(failure));
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

  const bool to_stdout = options.output == kStandardOutput;
  if (!to_stdout && SameFile(options.input, options.output)) {
    return Fail(kFailed, controls_as_question_marks(options.output) +
                             ": is the drawing being read; give the picture a name of its own");
  }
  set_error_handler(KeepFailure);
  if (!file_open(kUserFile, options.input, FileMode::Input)) {
    return Fail(kFailed, controls_as_question_marks(options.input) + ": " + FailureText(g_failure));
  }
  if (!OpenHeadlessScreen()) return Fail(kFailed, "cannot open a headless mode-8 screen");
  text_state() = TextState{};
  bool failed = false;
  ReadImage(
      {LinesFromBuffers([](std::string_view* lines) { return file_next_lines(kUserFile, lines); },
                        &failed),
       [](std::string_view) {}});
  file_close_all();
  if (g_failure.number != 0) {
    return Fail(kFailed, controls_as_question_marks(options.input) + ": " + FailureText(g_failure));
  }

  std::string png;
  if (!EncodePng(PagePicture(options.crop, options.scale), &png, &error) ||
      !(to_stdout ? WriteToStandardOutput(png, &error)
                  : WriteReplacing(options.output, png, &error))) {
    return Fail(kFailed,
                (to_stdout ? "standard output" : controls_as_question_marks(options.output)) +
                    ": " + error);
  }
  return 0;
}
