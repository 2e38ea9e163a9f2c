#include "editor/history.h"

#include <deque>
#include <memory>
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

// What a New Image changed besides the picture: the whole journal before
// it (Action::bytes is then the whole journal after it) and the values.
struct Replaced {
  std::string journal;
  int dprint = 0;  // DprintWritten, which a waiting block may have set
  int saved_before = 0, saved_after = 0;
  std::string name_before, name_after;
};

struct Action {
  long long begin = 0;  // the journal's length before it
  std::string bytes;    // what it appended, whole lines
  int dprint_before = 0, dprint_after = 0;
  PageChanges pixels;                  // page 0
  std::unique_ptr<Replaced> replaced;  // a New Image

  size_t Size() const {
    const size_t more = replaced
                            ? sizeof *replaced + replaced->journal.capacity() +
                                  replaced->name_before.capacity() + replaced->name_after.capacity()
                            : 0;
    return sizeof *this + bytes.capacity() + page_changes_size(pixels) + more;
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

// Keeps a new action done; the redo list is then empty.
void Remember(Action a) {
  History& h = g_history;
  for (const Action& gone : h.undone) h.size -= gone.Size();
  h.undone.clear();
  h.size += a.Size();
  h.done.push_back(std::move(a));
  ForgetBeyondLimit();
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
  if (length < h.end || !JournalBytesFrom(h.end, &a.bytes) ||
      static_cast<long long>(a.bytes.size()) != length - h.end) {
    h = History{};  // what the journal holds is no longer known: start again
    return;
  }
  // The header that an append to an empty journal brought belongs to no
  // action: undo leaves it.
  if (h.end == 0 && a.bytes.starts_with(kJournalHeader)) {
    a.bytes.erase(0, kJournalHeader.size());
    h.end = static_cast<long long>(kJournalHeader.size());
  }
  a.begin = h.end;
  if (a.bytes.empty() || a.bytes == BlockBytes()) return;
  a.dprint_before = h.dprint_at_end;
  a.dprint_after = ed.DprintWritten;
  a.pixels = page_changes(before.pixels, 0);
  h.end = length;
  h.dprint_at_end = ed.DprintWritten;
  Remember(std::move(a));
}

void RecordNewImage(Editor& ed, bool (*act)(Editor&)) {
  History& h = g_history;
  auto replaced = std::make_unique<Replaced>();
  if (!FollowJournal(ed) || !JournalBytesFrom(0, &replaced->journal)) {
    act(ed);
    return;
  }
  const PageCopy before = copy_page_out(0);
  replaced->dprint = ed.DprintWritten;
  replaced->saved_before = ed.Saved;
  replaced->name_before = ed.DrawingName;
  if (!act(ed)) return;
  Action a;
  if (h.generation != JournalGeneration() || !JournalBytesFrom(0, &a.bytes)) {
    h = History{};
    return;
  }
  a.begin = h.end;
  a.dprint_before = h.dprint_at_end;
  a.dprint_after = ed.DprintWritten;
  a.pixels = page_changes(before.pixels, 0);
  replaced->saved_after = ed.Saved;
  replaced->name_after = ed.DrawingName;
  a.replaced = std::move(replaced);
  h.end = static_cast<long long>(a.bytes.size());
  h.dprint_at_end = ed.DprintWritten;
  Remember(std::move(a));
}

void UndoAction(Editor& ed) {
  History& h = g_history;
  if (!FollowJournal(ed) || h.done.empty()) {
    BEEP();
    return;
  }
  Action& a = h.done.back();
  if (a.replaced) {
    if (!JournalReplace(a.replaced->journal)) return;
    ShowChanges(a, false);
    ed.Saved = a.replaced->saved_before;
    ed.DrawingName = a.replaced->name_before;
    ed.DprintWritten = a.replaced->dprint;
    h.dprint_at_end = a.dprint_before;
    h.end = a.begin;
    h.undone.push_back(std::move(a));
    h.done.pop_back();
    return;
  }
  if (!JournalCut(a.begin)) return;
  ShowChanges(a, false);
  ed.DprintWritten = h.dprint_at_end = a.dprint_before;
  h.end = a.begin;
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
  if (JournalLength() != h.end) {
    if (!JournalCut(h.end)) return;
    ed.DprintWritten = h.dprint_at_end;
  }
  Action& a = h.undone.back();
  if (a.replaced ? !JournalReplace(a.bytes) : !JournalAppendLines(SplitLines(a.bytes))) return;
  ShowChanges(a, true);
  ed.DprintWritten = h.dprint_at_end = a.dprint_after;
  h.end = (a.replaced ? 0 : a.begin) + static_cast<long long>(a.bytes.size());
  ed.Saved = a.replaced ? a.replaced->saved_after : 0;
  if (a.replaced) ed.DrawingName = a.replaced->name_after;
  h.done.push_back(std::move(a));
  h.undone.pop_back();
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
