#include "gfx/page_changes.h"

#include <cstring>

#include "gfx/screen.h"

namespace {

size_t PageBytes(const GfxScreen* s) {
  return static_cast<size_t>(s->pitch) * static_cast<size_t>(s->height);
}

}  // namespace

PageChanges page_changes(const std::vector<uint8_t>& before, int page) {
  PageChanges changes;
  const GfxScreen* s = gfx_screen();
  if (!s || page < 0 || page >= s->page_count || before.size() != PageBytes(s)) return changes;
  const size_t pitch = static_cast<size_t>(s->pitch);
  for (int y = 0; y < s->height; ++y) {
    const uint8_t* was = before.data() + pitch * static_cast<size_t>(y);
    const uint8_t* now = s->pages[page] + pitch * static_cast<size_t>(y);
    if (std::memcmp(was, now, pitch) == 0) continue;
    for (size_t x = 0; x < pitch;) {
      if (was[x] == now[x]) {
        ++x;
        continue;
      }
      // A stretch ends where more unchanged bytes follow than a span costs.
      const size_t first = x;
      size_t last = x;
      for (; x < pitch && x - last <= sizeof(PageSpan); ++x) {
        if (was[x] != now[x]) last = x;
      }
      const size_t count = last - first + 1;
      changes.spans.push_back({y, static_cast<int>(first), static_cast<int>(count)});
      changes.before.insert(changes.before.end(), was + first, was + first + count);
      changes.after.insert(changes.after.end(), now + first, now + first + count);
    }
  }
  return changes;
}

void put_page_changes(int page, const PageChanges& changes, bool after) {
  GfxScreen* s = gfx_screen();
  if (!s || page < 0 || page >= s->page_count) return;
  const std::vector<uint8_t>& bytes = after ? changes.after : changes.before;
  lock_screen();
  size_t at = 0;
  for (const PageSpan& span : changes.spans) {
    uint8_t* row = s->pages[page] + static_cast<size_t>(s->pitch) * static_cast<size_t>(span.row);
    std::memcpy(row + span.first, bytes.data() + at, static_cast<size_t>(span.count));
    at += static_cast<size_t>(span.count);
    if (page == s->visible_page) flag_rows(s, span.row, span.row);
  }
  unlock_screen_unflagged();
}

size_t page_changes_size(const PageChanges& changes) {
  return sizeof changes + changes.spans.capacity() * sizeof(PageSpan) + changes.before.capacity() +
         changes.after.capacity();
}
