// png_write.h - writing a picture of palette indices as a PNG file.
//
// An IndexedImage holds one byte per pixel, row after row, and the colour of
// each index as 0x00BBGGRR (the screen palette's layout). WritePng writes it
// as a palette PNG with exactly these colours, so every pixel of the file has
// the colour its index stands for; the palette is cut to the indices in use.
// It only writes to the open stream: the caller flushes and closes it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct IndexedImage {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;    // width * height indices
  std::vector<uint32_t> colours;  // 0x00BBGGRR for each index, at most 256
};

// False with the reason in *error when the image cannot be written.
bool WritePng(std::FILE* file, const IndexedImage& image, std::string* error);
