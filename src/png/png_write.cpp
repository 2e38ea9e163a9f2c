#include "png/png_write.h"

#include <png.h>

#include <algorithm>

bool WritePng(std::FILE* file, const IndexedImage& image, std::string* error) {
  const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  if (image.width <= 0 || image.height <= 0 || image.pixels.size() != count) {
    *error = "no picture to write";
    return false;
  }
  const uint8_t highest = *std::max_element(image.pixels.begin(), image.pixels.end());
  const size_t entries = size_t{highest} + 1;
  if (entries > image.colours.size()) {
    *error = "a pixel has no colour";
    return false;
  }
  std::vector<uint8_t> colourmap(entries * 3);
  for (size_t i = 0; i < entries; ++i) {
    const uint32_t c = image.colours[i];
    colourmap[i * 3] = static_cast<uint8_t>(c & 0xFF);
    colourmap[i * 3 + 1] = static_cast<uint8_t>((c >> 8) & 0xFF);
    colourmap[i * 3 + 2] = static_cast<uint8_t>((c >> 16) & 0xFF);
  }

  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB_COLORMAP;
  png.colormap_entries = static_cast<png_uint_32>(entries);
  if (!png_image_write_to_stdio(&png, file, 0, image.pixels.data(), image.width,
                                colourmap.data())) {
    *error = png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}
