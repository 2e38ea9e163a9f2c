// drawing_generator.h - a fixed, seeded generator of large drawings in the
// editor's file format, as a user's drawings are: mostly small lines,
// boxes, filled boxes, ellipses and texts, some spanning the screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// At least `lines` lines, starting with "SCREEN 8" and the text subroutine
// block; the same seed always gives the same drawing.
std::vector<std::string> GenerateDrawing(size_t lines, uint32_t seed);

// The first `shapes` shapes of GenerateDrawing(…, seed), with its header and
// block; a text group counts as one shape.
std::vector<std::string> GenerateShapes(size_t shapes, uint32_t seed);
