// snapshot-png: a snapshot of the Script back-end as a PNG picture, as the
// window shows it.
//
//   snapshot-png SNAPSHOT OUT.png
//
// Reads SNAPSHOT.pgm (the raw pixel values) and SNAPSHOT.ppm (the same page
// in its palette colours), shows every row twice, and writes OUT.png with
// the project's PNG writer: one palette entry per pixel value, in the colour
// the snapshot gives it. Status 1 with a message when a file cannot be read
// or written, or the two halves of the snapshot disagree.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "png/png_write.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "snapshot-png: %s\n", message.c_str());
  return 1;
}

// The pixel bytes of a binary PGM (P5) or PPM (P6) file with the header
// "P5|P6\nW H\n255\n", as the Script back-end writes it.
bool ReadNetpbm(const std::string& path, const char* magic, int* width, int* height,
                std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  std::string kind;
  int maxval = 0;
  if (!(in >> kind >> *width >> *height >> maxval) || kind != magic || maxval != 255 ||
      in.get() != '\n' || *width <= 0 || *height <= 0) {
    return false;
  }
  std::ostringstream rest;
  rest << in.rdbuf();
  *bytes = rest.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: snapshot-png SNAPSHOT OUT.png");
  const std::string snapshot = argv[1];
  int w = 0, h = 0, cw = 0, ch = 0;
  std::string values, colours;
  if (!ReadNetpbm(snapshot + ".pgm", "P5", &w, &h, &values))
    return Fail(snapshot + ".pgm: unreadable");
  if (!ReadNetpbm(snapshot + ".ppm", "P6", &cw, &ch, &colours)) {
    return Fail(snapshot + ".ppm: unreadable");
  }
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  if (cw != w || ch != h || values.size() != count || colours.size() != 3 * count) {
    return Fail(snapshot + ": the .pgm and .ppm files differ in size");
  }

  IndexedImage image;
  image.width = w;
  image.height = 2 * h;
  image.colours.assign(256, 0);
  std::vector<bool> seen(256, false);
  for (size_t i = 0; i < count; ++i) {
    const auto v = static_cast<uint8_t>(values[i]);
    const uint32_t c = static_cast<uint8_t>(colours[3 * i]) |
                       static_cast<uint32_t>(static_cast<uint8_t>(colours[3 * i + 1])) << 8 |
                       static_cast<uint32_t>(static_cast<uint8_t>(colours[3 * i + 2])) << 16;
    if (seen[v] && image.colours[v] != c) return Fail(snapshot + ": one value in two colours");
    seen[v] = true;
    image.colours[v] = c;
  }
  for (int y = 0; y < h; ++y) {
    const auto row = values.begin() + static_cast<std::ptrdiff_t>(y) * w;
    image.pixels.insert(image.pixels.end(), row, row + w);
    image.pixels.insert(image.pixels.end(), row, row + w);
  }

  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) return Fail(std::string(argv[2]) + ": cannot be written");
  std::string error;
  const bool written = WritePng(out, image, &error);
  if (std::fclose(out) != 0 || !written) {
    std::remove(argv[2]);
    return Fail(std::string(argv[2]) + ": " + (error.empty() ? "cannot be written" : error));
  }
  return 0;
}
