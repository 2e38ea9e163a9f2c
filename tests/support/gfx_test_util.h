// Helpers for tests that draw on a headless mode-8 screen.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

// Opens SCREEN 8 with two pages on the Null back-end; closes it afterwards.
class Mode8Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Compares the pixels of a page, starting at (x0, y0), with a picture: one
// string per row, '.' for 0 and a hex digit for the colours 1-15.
::testing::AssertionResult PageMatches(int page, int x0, int y0,
                                       const std::vector<std::string>& rows);

using PixelSet = std::set<std::pair<int, int>>;
// The (x, y) of every non-zero pixel of a page.
PixelSet LitPixels(int page);
// The value of one pixel of a page.
int PixelAt(int page, int x, int y);
// Number of flagged rows.
int FlaggedRows();
void ClearRowFlags();
