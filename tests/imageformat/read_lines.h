// read_lines.h - the reader's tests hand it a drawing as a list of lines.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "imageformat/format.h"

// Reads `input` as a drawing; every line the reader copies goes to `copy`.
inline ReadResult ReadLines(const std::vector<std::string>& input,
                            std::function<void(std::string_view)> copy) {
  size_t at = 0;
  ImageLines lines{[&](std::string_view* line) {
                     if (at == input.size()) return false;
                     *line = input[at++];
                     return true;
                   },
                   std::move(copy)};
  return ReadImage(lines);
}
