// page_changes.h - the pixels a drawing changed on a page, kept small so
// that they can be put back, or in again, exactly.
//
// page_changes compares a page with a copy of its pixels taken before the
// drawing (copy_page_out) and keeps the changed stretches of each row, as
// they were and as they are; a stretch goes on over no more than 12
// unchanged bytes. That costs 12 bytes per stretch plus twice its bytes.
// put_page_changes writes the stretches' bytes back (before) or in again
// (after), and flags the rows when the page is visible.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PageSpan {
  int row, first, count;  // in bytes of the row
};

struct PageChanges {
  std::vector<PageSpan> spans;
  std::vector<uint8_t> before, after;  // the spans' bytes, one after another
};

PageChanges page_changes(const std::vector<uint8_t>& before, int page);
void put_page_changes(int page, const PageChanges& changes, bool after);
// The memory the changes take.
size_t page_changes_size(const PageChanges& changes);
