#include "editor/history.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/page_changes.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"
#include "runtime/files.h"
#include "runtime/sound.h"
#include "strokefont/stroke_font.h"

namespace {

struct Action {
  long long begin = 0;  // the journal's length before it, or where a change in place begins
  std::string bytes;    // what it appended, whole lines
  bool in_place = false;
  std::string replaced;  // the lines a change in place replaced by bytes
  int dprint_before = 0, dprint_after = 0;
  PageChanges pixels;  // page 0

  size_t Size() const {
    return sizeof *this + bytes.capacity() + replaced.capacity() + page_changes_size(pixels);
  }
};

constexpr size_t kKeptActions = 1000;
constexpr size_t kMemoryLimit = size_t{256} << 20;

struct History {
  int generation = -1;  // the journal's; -1: not yet begun
  // The journal's length and subroutine-block flag after the last action
  // done or undone. Bytes beyond it are a block that goes with the next
  // action.
  long long end = 0;
  int dprint_at_end = 0;
  std::deque<Action> done;
  std::vector<Action> undone;
  size_t size = 0;  // of done and undone
};

History g_history;

// Begins anew when the journal did since the history was last used.
bool FollowJournal(const Editor& ed) {
  History& h = g_history;
  if (h.generation == JournalGeneration()) return true;
  h = History{};
  h.end = JournalLength();
  if (h.end < 0) return false;
  h.generation = JournalGeneration();
  h.dprint_at_end = ed.DprintWritten;
  return true;
}

const std::string& BlockBytes() {
  static const std::string bytes = [] {
    std::string all;
    for (const std::string& line : DprintBlockLines()) all += line + "\r\n";
    return all;
  }();
  return bytes;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  for (std::string_view line; take_line(&bytes, &line);) lines.emplace_back(line);
  return lines;
}

void ForgetBeyondLimit() {
  History& h = g_history;
  while (h.done.size() > kKeptActions && h.size > kMemoryLimit) {
    h.size -= h.done.front().Size();
    h.done.pop_front();
  }
}

// Cuts a subroutine block written since the last action done or undone
// (by a text left with ESC); it comes back with the next text.
bool CutWaitingBlock(Editor& ed) {
  History& h = g_history;
  if (JournalLength() == h.end) return true;
  if (!JournalCut(h.end)) return false;
  ed.DprintWritten = h.dprint_at_end;
  return true;
}

// Page 1 follows page 0, as every way back to the main loop leaves it.
void ShowChanges(const Action& a, bool after) {
  put_page_changes(0, a.pixels, after);
  PCOPY(0, 1);
}

}  // namespace

void RecordAction(Editor& ed, void (*act)(Editor&)) {
  if (!FollowJournal(ed)) {
    act(ed);
    return;
  }
  History& h = g_history;
  const PageCopy before = copy_page_out(0);
  act(ed);
  const long long length = JournalLength();
  if (h.generation != JournalGeneration() || length == h.end) return;
  Action a;
  a.begin = h.end;
  if (length < h.end || !JournalBytesFrom(a.begin, &a.bytes) ||
      static_cast<long long>(a.bytes.size()) != length - a.begin) {
    h = History{};  // what the journal holds is no longer known: start again
    return;
  }
  if (a.bytes == BlockBytes()) return;
  a.dprint_before = h.dprint_at_end;
  a.dprint_after = ed.DprintWritten;
  a.pixels = page_changes(before.pixels, 0);
  for (const Action& gone : h.undone) h.size -= gone.Size();
  h.undone.clear();
  h.size += a.Size();
  h.done.push_back(std::move(a));
  h.end = length;
  h.dprint_at_end = ed.DprintWritten;
  ForgetBeyondLimit();
}

bool PrepareEdit(Editor& ed) {
  return !FollowJournal(ed) || CutWaitingBlock(ed);
}

void RecordEdit(const Editor& ed, long long offset, std::string old, std::string now,
                const std::vector<uint8_t>& before) {
  if (!FollowJournal(ed)) return;
  History& h = g_history;
  Action a;
  a.begin = offset;
  a.in_place = true;
  a.replaced = std::move(old);
  a.bytes = std::move(now);
  a.pixels = page_changes(before, 0);
  for (const Action& gone : h.undone) h.size -= gone.Size();
  h.undone.clear();
  h.end += static_cast<long long>(a.bytes.size()) - static_cast<long long>(a.replaced.size());
  h.size += a.Size();
  h.done.push_back(std::move(a));
  ForgetBeyondLimit();
}

void UndoAction(Editor& ed) {
  History& h = g_history;
  if (!FollowJournal(ed) || h.done.empty()) {
    BEEP();
    return;
  }
  Action& a = h.done.back();
  // A block waiting beyond the change goes first, as before a redo, so that
  // the journal is again exactly what it was before the change.
  if (a.in_place && !CutWaitingBlock(ed)) return;
  if (a.in_place) {
    if (!JournalReplace(a.begin, static_cast<long long>(a.bytes.size()), a.replaced)) return;
    h.end += static_cast<long long>(a.replaced.size()) - static_cast<long long>(a.bytes.size());
  } else {
    if (!JournalCut(a.begin)) return;
    h.end = a.begin;
  }
  ShowChanges(a, false);
  if (!a.in_place) ed.DprintWritten = h.dprint_at_end = a.dprint_before;
  h.undone.push_back(std::move(a));
  h.done.pop_back();
  ed.Saved = 0;
}

void RedoAction(Editor& ed) {
  History& h = g_history;
  if (!FollowJournal(ed) || h.undone.empty()) {
    BEEP();
    return;
  }
  // A block waiting for the next action would come twice if the action
  // brings its own; it goes, and comes back with the next text.
  if (!CutWaitingBlock(ed)) return;
  Action& a = h.undone.back();
  if (a.in_place) {
    if (!JournalReplace(a.begin, static_cast<long long>(a.replaced.size()), a.bytes)) return;
    h.end += static_cast<long long>(a.bytes.size()) - static_cast<long long>(a.replaced.size());
  } else {
    if (!JournalAppendLines(SplitLines(a.bytes))) return;
    h.end = a.begin + static_cast<long long>(a.bytes.size());
  }
  ShowChanges(a, true);
  if (!a.in_place) ed.DprintWritten = h.dprint_at_end = a.dprint_after;
  h.done.push_back(std::move(a));
  h.undone.pop_back();
  ed.Saved = 0;
}

size_t UndoCount() {
  return g_history.done.size();
}

size_t RedoCount() {
  return g_history.undone.size();
}

size_t HistorySize() {
  return g_history.size;
}
