#include "editor/history.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/page_changes.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"
#include "runtime/files.h"
#include "runtime/sound.h"
#include "strokefont/stroke_font.h"

namespace {

// Where the journal stands: its length and the subroutine-block flag.
struct JournalMark {
  long long length = 0;
  int dprint = 0;
};

// What a New Image changed besides the picture: the whole journal before
// it (Action::bytes is then the whole journal after it) and the values.
struct Replaced {
  std::string journal;
  int dprint = 0;  // DprintWritten, which a waiting block may have set
  int saved_before = 0, saved_after = 0;
  std::string name_before, name_after;
};

struct Action {
  JournalMark before, after;
  std::string bytes;  // what it appended, whole lines
  // A change in place replaced `lines_before` at `offset` by bytes.
  bool in_place = false;
  long long offset = 0;
  std::string lines_before;
  PageChanges pixels;                  // page 0
  std::unique_ptr<Replaced> replaced;  // a New Image

  size_t Size() const {
    const size_t more = replaced
                            ? sizeof *replaced + replaced->journal.capacity() +
                                  replaced->name_before.capacity() + replaced->name_after.capacity()
                            : 0;
    return sizeof *this + bytes.capacity() + lines_before.capacity() + page_changes_size(pixels) +
           more;
  }
};

constexpr size_t kKeptActions = 1000;
constexpr size_t kMemoryLimit = size_t{256} << 20;

struct History {
  int generation = -1;  // the journal's; -1: not yet begun
  // Where the last action done or undone left the journal. Bytes beyond it
  // are a block that goes with the next action.
  JournalMark end;
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
  h.end = {JournalLength(), ed.DprintWritten};
  if (h.end.length < 0) return false;
  h.generation = JournalGeneration();
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
  h.end = a.after;
  h.done.push_back(std::move(a));
  ForgetBeyondLimit();
}

// Cuts a subroutine block written since the last action done or undone
// (by a text left with ESC); it comes back with the next text.
bool CutWaitingBlock(Editor& ed) {
  History& h = g_history;
  if (JournalLength() == h.end.length) return true;
  if (!JournalCut(h.end.length)) return false;
  ed.DprintWritten = h.end.dprint;
  return true;
}

// Takes the journal to where the action leaves it going forward (redo) or
// back (undo); false when the journal refused, and nothing changed.
bool MoveJournal(Editor& ed, const Action& a, bool forward) {
  if (a.replaced) return JournalReplace(forward ? a.bytes : a.replaced->journal);
  if (!forward && !a.in_place) return JournalCut(a.before.length);
  // A block waiting for the next action would come twice if the action
  // brings its own, and a change in place must find the journal as it
  // left it; the block goes, and comes back with the next text.
  if (!CutWaitingBlock(ed)) return false;
  if (!a.in_place) return JournalAppendLines(SplitLines(a.bytes));
  const std::string& from = forward ? a.lines_before : a.bytes;
  return JournalReplace(a.offset, static_cast<long long>(from.size()),
                        forward ? a.bytes : a.lines_before);
}

// Undo or redo: takes the last action of `from` back or forward, the
// journal, the picture and the flag together, and hands it to `to`. The
// plain beep when there is none.
template <class From, class To>
void StepHistory(Editor& ed, From& from, To& to, bool forward) {
  History& h = g_history;
  if (!FollowJournal(ed) || from.empty()) {
    BEEP();
    return;
  }
  Action& a = from.back();
  if (!MoveJournal(ed, a, forward)) return;
  put_page_changes(0, a.pixels, forward);
  WipeScratch();  // page 1 follows page 0, as every way back to the main loop leaves it
  h.end = forward ? a.after : a.before;
  ed.DprintWritten = h.end.dprint;
  ed.Saved = 0;
  if (const Replaced* r = a.replaced.get()) {
    // A New Image's values come back exactly, a block waiting then included.
    if (!forward) ed.DprintWritten = r->dprint;
    ed.Saved = forward ? r->saved_after : r->saved_before;
    ed.DrawingName = forward ? r->name_after : r->name_before;
  }
  to.push_back(std::move(a));
  from.pop_back();
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
  if (h.generation != JournalGeneration() || length == h.end.length) return;
  Action a;
  if (length < h.end.length || !JournalBytesFrom(h.end.length, &a.bytes) ||
      static_cast<long long>(a.bytes.size()) != length - h.end.length) {
    h = History{};  // what the journal holds is no longer known: start again
    return;
  }
  // The header that an append to an empty journal brought belongs to no
  // action: undo leaves it.
  if (h.end.length == 0 && a.bytes.starts_with(kJournalHeader)) {
    a.bytes.erase(0, kJournalHeader.size());
    h.end.length = static_cast<long long>(kJournalHeader.size());
  }
  a.before = h.end;
  a.after = {length, ed.DprintWritten};
  if (a.bytes.empty() || a.bytes == BlockBytes()) return;
  a.pixels = page_changes(before.pixels, 0);
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
  a.before = h.end;
  a.after = {static_cast<long long>(a.bytes.size()), ed.DprintWritten};
  a.pixels = page_changes(before.pixels, 0);
  replaced->saved_after = ed.Saved;
  replaced->name_after = ed.DrawingName;
  a.replaced = std::move(replaced);
  Remember(std::move(a));
}

bool PrepareEdit(Editor& ed) {
  return !FollowJournal(ed) || CutWaitingBlock(ed);
}

void RecordEdit(const Editor& ed, long long offset, std::string old, std::string now,
                const std::vector<uint8_t>& before) {
  if (!FollowJournal(ed)) return;
  History& h = g_history;
  Action a;
  a.in_place = true;
  a.offset = offset;
  a.before = h.end;
  a.after = {h.end.length + static_cast<long long>(now.size()) - static_cast<long long>(old.size()),
             h.end.dprint};
  a.lines_before = std::move(old);
  a.bytes = std::move(now);
  a.pixels = page_changes(before, 0);
  Remember(std::move(a));
}

void UndoAction(Editor& ed) {
  StepHistory(ed, g_history.done, g_history.undone, false);
}

void RedoAction(Editor& ed) {
  StepHistory(ed, g_history.undone, g_history.done, true);
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
