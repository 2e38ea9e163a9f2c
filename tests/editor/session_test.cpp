// Random sessions of ordinary keys, each checked against the promise that
// the picture is the program: at the end page 0 inside the frame equals the
// journal redrawn as a load draws it (apart from the live cursor), the
// visible page is page 0, and the journal is whole. The journal is also
// copied after every key: after each undo or redo it must be a state it
// had before.
//
// Sessions are seeded and reproducible. KOV1_SESSIONS sets how many run
// (default 300) and KOV1_SEED the first seed (default 1). A failing session
// prints its seed and the shortest key script found that still fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "editor_run.h"
#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "gfx_test_util.h"
#include "imageformat/format.h"
#include "strokefont/text_state.h"

namespace {

using Lines = std::vector<std::string>;

struct Rng {
  std::mt19937 g;
  int Below(int n) { return static_cast<int>(g() % static_cast<unsigned>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  std::string Pick(const Lines& from) {
    return from[static_cast<size_t>(Below(static_cast<int>(from.size())))];
  }
};

void Add(Lines& to, const Lines& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// --- Key families. Each gives one action: the script lines of something a
// user would do. New families are added to kFamilies below.

Lines Moves(Rng& r) {
  static const Lines kDirs = {"UP", "DOWN", "LEFT", "RIGHT"};
  return {r.Pick(kDirs) + " * " + std::to_string(1 + r.Below(r.Chance(20) ? 200 : 25))};
}

Lines ToolKey(Rng& r) {
  return {r.Pick({"CTRL-L", "CTRL-R", "CTRL-E", "CTRL-F", "CTRL-T"})};
}

Lines Shape(Rng& r) {
  Lines keys = {r.Pick({"CTRL-L", "CTRL-R", "CTRL-F"}), "."};
  for (int n = r.Below(3); n >= 0; --n) {
    Add(keys, Moves(r));
    if (r.Chance(20)) Add(keys, ToolKey(r));  // a tool change mid-shape
  }
  keys.push_back(r.Pick({".", ".", ".", "ESC", "CTRL-T", "CTRL-S"}));
  return keys;
}

Lines Ellipse(Rng& r) {
  Lines keys = {"CTRL-E", "."};
  for (int n = r.Below(6); n > 0; --n) {
    keys.push_back(r.Pick({"UP", "DOWN", "LEFT", "RIGHT"}) + " * " +
                   std::to_string(1 + r.Below(12)));
    if (r.Chance(10)) Add(keys, {"F2", "ESC"});
  }
  keys.push_back(r.Chance(80) ? "." : "ESC");
  return keys;
}

Lines Typed(Rng& r) {
  static const Lines kWords = {
      "HI", "a b", "KOV1!", "x+y=3", "Q", "\xE2\x98\xBA", "long text here ok"};
  return {"text \"" + r.Pick(kWords) + "\""};
}

Lines Text(Rng& r) {
  Lines keys = {"CTRL-T", "."};
  Add(keys, Typed(r));
  if (r.Chance(30)) Add(keys, {"BS * " + std::to_string(1 + r.Below(4))});
  if (r.Chance(30)) Add(keys, Typed(r));
  keys.push_back(r.Chance(80) ? "ENTER" : "ESC");
  return keys;
}

Lines Colour(Rng& r) {
  return {"CTRL-C", r.Pick({"RIGHT", "LEFT"}) + " * " + std::to_string(1 + r.Below(15)),
          r.Chance(80) ? "ENTER" : "ESC"};
}

Lines Help(Rng& r) {
  if (r.Chance(50)) return {"F2", r.Pick({"ESC", "ENTER"})};
  return {"F1", r.Pick({"PGDN", "PGUP", "PGDN * 3"}), "ESC"};
}

// An answer to the unsaved-work prompt; one in ten ends the program.
Lines Answer(Rng& r) {
  static const std::vector<Lines> kGoOn = {
      {"ESC"}, {"RIGHT * 2", "ENTER"}, {"RIGHT * 2", "LEFT", "ENTER"}, {"ENTER", "ESC"}};
  static const std::vector<Lines> kEnd = {{"RIGHT", "ENTER"}, {"ENTER", "text \"END\"", "ENTER"}};
  const std::vector<Lines>& from = r.Chance(10) ? kEnd : kGoOn;
  return from[static_cast<size_t>(r.Below(static_cast<int>(from.size())))];
}

// Escape, New Image, Save, Load (perhaps asked about unsaved work first),
// Ctrl-X in the menu, and the selection wrapping around.
Lines FileMenu(Rng& r) {
  const std::string name = "text \"" + r.Pick({"A", "B"}) + "\"";
  Lines keys = {"CTRL-S"};
  switch (r.Below(6)) {
    case 0:
      Add(keys, {"ESC"});
      break;
    case 1:
      Add(keys, {"UP", "ENTER"});
      break;
    case 2:
      Add(keys, {"ENTER", name, "ENTER"});
      break;
    case 3:
      Add(keys, {"DOWN", "ENTER", name, "ENTER"});
      Add(keys, r.Chance(60) ? Answer(r) : Lines{});
      break;
    case 4:
      Add(keys, {"CTRL-X"}), Add(keys, Answer(r)), Add(keys, {"ESC"});
      break;
    default:
      Add(keys, {"DOWN * " + std::to_string(1 + r.Below(3)), "ENTER", "ESC"});
  }
  return keys;
}

Lines Exit(Rng& r) {
  Lines keys = {"CTRL-X"};
  Add(keys, Answer(r));
  return keys;
}

Lines Undo(Rng& r) {
  return Lines(static_cast<size_t>(1 + r.Below(3)), "CTRL-Z");
}

Lines Redo(Rng& r) {
  return Lines(static_cast<size_t>(1 + r.Below(2)), "CTRL-Y");
}

// New Image, then perhaps taken back and done again at once.
Lines NewImage(Rng& r) {
  Lines keys = {"CTRL-S", r.Pick({"UP", "DOWN * 2"}), "ENTER"};
  if (r.Chance(60)) Add(keys, Undo(r));
  if (r.Chance(40)) Add(keys, Redo(r));
  return keys;
}

Lines Single(Rng& r) {
  return {r.Pick({".", "ESC", "ENTER", "CTRL-T", "CTRL-E", "SPACE", "F2"})};
}

// A fill, perhaps dropping a line under way, perhaps in another colour.
Lines Fill(Rng& r) {
  Lines keys = r.Chance(20) ? Lines{"CTRL-L", "."} : Lines{};
  Add(keys, Moves(r));
  keys.push_back("CTRL-P");
  if (r.Chance(40)) Add(keys, Colour(r));
  keys.push_back(".");
  return keys;
}

// Picks what is under the cursor (perhaps a deeper one), changes it (moves,
// also by dragging with the pointer, recolours, deletes; a move may run
// into the screen's edge), and keeps the change (also by a click off the
// shape), puts it back, or ends the program.
Lines PickChange(Rng& r) {
  Lines keys = r.Chance(30) ? Moves(r) : Lines{};
  keys.push_back("TAB");
  if (r.Chance(20)) keys.push_back("TAB");
  for (int n = 1 + r.Below(3); n > 0; --n) {
    switch (r.Below(6)) {
      case 0:
      case 1:
        keys.push_back(r.Pick({"UP", "DOWN", "LEFT", "RIGHT"}) + " * " +
                       std::to_string(1 + r.Below(r.Chance(10) ? 700 : 8)));
        break;
      case 2:
        Add(keys, Colour(r));
        break;
      case 3:
        keys.push_back(r.Pick({"DEL", "BS"}));
        break;
      case 4: {  // a drag with the pointer (of the shape when it starts on it), or a click
        auto point = [&r] {
          return "point " + std::to_string(r.Below(640)) + " " + std::to_string(r.Below(200));
        };
        Add(keys, r.Chance(50) ? Lines{point(), "press", point(), point(), "release"}
                               : Lines{point(), r.Pick({"click", "rclick"})});
        break;
      }
      default:
        keys.push_back(r.Pick({"SPACE", "CTRL-L", "F1", "TAB"}));  // do nothing, or go deeper
    }
  }
  static const std::vector<Lines> kEnds = {{"."}, {"."}, {"ENTER"}, {"ESC"}};
  Add(keys, r.Chance(5) ? Exit(r) : kEnds[static_cast<size_t>(r.Below(4))]);
  return keys;
}

// --- Pointer families: the same actions by the pointer, mixed with keys.

// Anywhere over the picture, now and then at or beyond the cursor's range.
std::string Point(Rng& r) {
  const int x = r.Chance(10) ? (r.Chance(50) ? 0 : 639) : r.Below(640);
  const int y = r.Chance(10) ? (r.Chance(50) ? 0 : 199) : r.Below(200);
  return "point " + std::to_string(x) + " " + std::to_string(y);
}

Lines PointerMoves(Rng& r) {
  Lines lines;
  for (int n = 1 + r.Below(4); n > 0; --n) lines.push_back(Point(r));
  return lines;
}

// Click and click, or press, drag and release; sometimes dropped by the
// right button, sometimes a click that does not move.
Lines PointerShape(Rng& r) {
  Lines lines = {r.Pick({"CTRL-L", "CTRL-R", "CTRL-F"}), Point(r)};
  if (r.Chance(50)) {
    Add(lines, {"press", Point(r), Point(r), "release"});
  } else {
    Add(lines, {"click", Point(r), Point(r)});
    lines.push_back(r.Pick({"click", "click", "rclick", "release", "."}));
  }
  return lines;
}

Lines PointerEllipse(Rng& r) {
  Lines lines = {"CTRL-E", Point(r), "press"};
  for (int n = r.Below(4); n > 0; --n) {
    lines.push_back(r.Chance(30) ? "wheel " + r.Pick({"1", "-1", "3", "-2"}) : Point(r));
  }
  lines.push_back(r.Pick({"release", "click", "rclick", "."}));
  return lines;
}

// Right clicks never lose the text; a left click finishes it.
Lines PointerText(Rng& r) {
  Lines lines = {"CTRL-T", Point(r), "click"};
  Add(lines, Typed(r));
  if (r.Chance(40)) Add(lines, {"rclick", Point(r), "wheel 1"});
  lines.push_back(r.Pick({"click", "ENTER", "ESC"}));
  return lines;
}

// A fill where the pointer clicks.
Lines PointerFill(Rng& r) {
  return {"CTRL-P", Point(r), "click"};
}

// Clicks on the other screens: swatches, menu items, the prompt's and the
// message box's buttons, help pages; and clicks beside them.
Lines PointerScreens(Rng& r) {
  const std::string name = "text \"" + r.Pick({"A", "B", "NONE"}) + "\"";
  const Lines prompt = {r.Pick({"point 130 132", "point 180 132", "point 250 132", "point 5 5"}),
                        r.Pick({"click", "rclick"})};
  switch (r.Below(5)) {
    case 0:
      return {"CTRL-C", "point " + std::to_string(15 + 20 * r.Below(16)) + " 110",
              r.Pick({"click", "click", "rclick"}), "ESC"};
    case 1:
      return {r.Pick({"F1", "F2"}), "click", r.Pick({"click", "rclick"}), "click", "ESC"};
    case 2:
      return {"CTRL-S", "point 140 112", "click", name, "ENTER", "point 300 156", "click"};
    case 3: {
      Lines lines = {"CTRL-S", "point 140 122", "click"};
      Add(lines, prompt);
      Add(lines, {name, "ENTER", "point 300 156", r.Pick({"click", "rclick"})});
      return lines;
    }
    default:
      return {"CTRL-S", r.Pick({"point 140 132", "point 40 40"}), "click", "ESC"};
  }
}

struct Family {
  int weight;
  Lines (*make)(Rng&);
};

const Family kFamilies[] = {
    {30, Moves},         {8, ToolKey},     {20, Shape},        {10, Ellipse},
    {8, Text},           {5, Colour},      {4, Help},          {6, FileMenu},
    {2, Exit},           {6, Single},      {8, Fill},          {10, Undo},
    {5, Redo},           {4, NewImage},    {10, PointerMoves}, {12, PointerShape},
    {6, PointerEllipse}, {5, PointerText}, {4, PointerFill},   {6, PointerScreens},
    {12, PickChange},
};

using Actions = std::vector<Lines>;

Actions MakeSession(uint32_t seed) {
  Rng r{std::mt19937(seed)};
  int total = 0;
  for (const Family& f : kFamilies) total += f.weight;
  Actions actions;
  for (int n = 8 + r.Below(30); n > 0; --n) {
    int pick = r.Below(total);
    for (const Family& f : kFamilies) {
      if ((pick -= f.weight) < 0) {
        actions.push_back(f.make(r));
        break;
      }
    }
  }
  return actions;
}

// Back to the main loop from wherever a session stopped: ESC leaves every
// dialog, menu, help page and tool, and ENTER the one box that takes no ESC
// (the catch-all box, after a save under a name such as ".").
const Lines kBackToMainLoop = {"ESC * 4", "ENTER", "ESC * 4"};

// The whole script: start-up, the actions with a copy of the journal after
// every key, back to the main loop and the snapshots of the end.
Lines Script(const Actions& actions) {
  Lines script = StartKeys();
  int copies = 0;
  auto copy = [&] { script.push_back("copy image.img j" + std::to_string(copies++)); };
  copy();
  for (const Lines& a : actions) {
    for (const std::string& line : a) {
      script.push_back(line);
      if (line.rfind("text ", 0) != 0) copy();
    }
  }
  Add(script, kBackToMainLoop);
  Add(script, {"pages end", "snap end"});
  return script;
}

// --- The checks.

Lines SplitLines(const std::string& bytes, bool* complete) {
  Lines lines;
  size_t at = 0;
  for (size_t crlf; (crlf = bytes.find("\r\n", at)) != std::string::npos; at = crlf + 2) {
    lines.push_back(bytes.substr(at, crlf - at));
  }
  *complete = at == bytes.size();
  return lines;
}

// Only complete lines; every text call after a closed subroutine block, and
// the block once at most.
std::string JournalFault(const std::string& bytes) {
  bool complete = false;
  const Lines lines = SplitLines(bytes, &complete);
  if (!complete) return "the journal ends inside a line";
  bool open = false, closed = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == "GoTo EndAbc" && (open || closed)) return "the subroutine block comes twice";
    if (lines[i] == "GoTo EndAbc") open = true;
    if (lines[i] == "EndAbc:") open = false, closed = true;
    if (lines[i] == "gosub Dprint" && (open || !closed)) {
      return "line " + std::to_string(i + 1) + " calls Dprint before its block is closed";
    }
  }
  return open ? "the subroutine block is not closed" : "";
}

// Page 0 as a load draws the journal.
std::vector<unsigned char> Redraw(const std::string& journal) {
  set_pages(0, 0);
  CLS();
  text_state() = TextState{};
  bool complete = false;
  const Lines lines = SplitLines(journal, &complete);
  size_t at = 0;
  ReadImage({[&](std::string_view* line) {
               if (at == lines.size()) return false;
               *line = lines[at++];
               return true;
             },
             [](std::string_view) {}});
  std::vector<unsigned char> page(640 * 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 640; ++x)
      page[static_cast<size_t>(y * 640 + x)] = static_cast<unsigned char>(PixelAt(0, x, y));
  }
  return page;
}

bool InFrame(int x, int y) {
  return x >= 1 && x <= 638 && y >= 1 && y <= 192;
}

// The differences must be exactly the live cursor: a plus whose five pixels
// (those inside the frame) all differ, since it is drawn white over black and
// black over colours.
std::string PictureFault(const std::vector<unsigned char>& page,
                         const std::vector<unsigned char>& want) {
  std::vector<std::pair<int, int>> diff;
  for (int y = 1; y <= 192; ++y) {
    for (int x = 1; x <= 638; ++x) {
      size_t i = static_cast<size_t>(y * 640 + x);
      if (page[i] != want[i]) diff.push_back({x, y});
    }
  }
  for (auto [cx, cy] : diff) {
    std::vector<std::pair<int, int>> plus;
    for (auto [dx, dy] : {std::pair{0, -1}, {-1, 0}, {0, 0}, {1, 0}, {0, 1}}) {
      if (InFrame(cx + dx, cy + dy)) plus.push_back({cx + dx, cy + dy});
    }
    std::sort(plus.begin(), plus.end(), [](auto a, auto b) {
      return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    if (plus == diff) return "";
  }
  std::ostringstream s;
  s << diff.size() << " pixels differ from the journal's redraw:";
  for (size_t i = 0; i < diff.size() && i < 12; ++i) {
    size_t at = static_cast<size_t>(diff[i].second * 640 + diff[i].first);
    s << " (" << diff[i].first << "," << diff[i].second << ")=" << int(page[at]) << "/"
      << int(want[at]);
  }
  return s.str();
}

// After each undo or redo the journal is exactly a state it had before
// (undoing a New Image, the whole journal before it): the copies taken
// after those keys against those before.
std::string HistoryFault(const EditorRun& run, const Lines& script) {
  std::vector<std::string> states;
  std::string key;
  for (const std::string& line : script) {
    if (line.rfind("copy image.img ", 0) != 0) {
      key = line;
      continue;
    }
    const std::string name = line.substr(line.rfind(' ') + 1);
    if (!run.Exists(name)) break;  // the program ended
    const std::string now = run.File(name);
    if (key == "CTRL-Z" || key == "CTRL-Y") {
      if (std::find(states.begin(), states.end(), now) == states.end())
        return key + " before " + name + " left a journal it never had";
    }
    states.push_back(now);
  }
  return "";
}

// "" when the session kept every promise, else what went wrong.
std::string Fault(const EditorRun& run, const Lines& script) {
  if (run.status != 0 && run.status != 3)
    return "exit status " + std::to_string(run.status) + ": " + run.err;
  const std::string journal = run.File("image.img");
  if (std::string why = JournalFault(journal); !why.empty()) return why;
  if (std::string why = HistoryFault(run, script); !why.empty()) return why;
  if (run.status == 0) return "";  // the user ended the program
  const std::vector<unsigned char> page = run.Pixels("end-0"), visible = run.Pixels("end");
  if (page.size() != 640 * 200 || visible.size() != page.size()) return "no snapshots";
  if (visible != page) return "the visible page is not page 0";
  return PictureFault(page, Redraw(journal));
}

// Removes the run's folder and the script and outputs beside it.
void Discard(const EditorRun& run) {
  std::filesystem::remove_all(run.dir);
  for (const char* suffix : {".script", ".script.out", ".script.err"}) {
    std::filesystem::remove(run.dir + suffix);
  }
}

std::string RunSession(const Actions& actions) {
  const Lines script = Script(actions);
  EditorRun run = RunEditor(script);
  std::string fault = Fault(run, script);
  Discard(run);
  return fault;
}

// Drops actions, then single lines, while the session still fails.
Lines Shrink(Actions actions) {
  auto still_fails = [](const Actions& a) { return !RunSession(a).empty(); };
  for (size_t chunk = actions.size() / 2; chunk >= 1; chunk /= 2) {
    for (size_t at = 0; at < actions.size();) {
      Actions fewer = actions;
      fewer.erase(fewer.begin() + static_cast<long>(at),
                  fewer.begin() + static_cast<long>(std::min(at + chunk, fewer.size())));
      if (still_fails(fewer))
        actions = fewer;
      else
        at += chunk;
    }
  }
  Actions lines;
  for (const Lines& a : actions)
    for (const std::string& l : a) lines.push_back({l});
  for (size_t at = 0; at < lines.size();) {
    Actions fewer = lines;
    fewer.erase(fewer.begin() + static_cast<long>(at));
    if (still_fails(fewer))
      lines = fewer;
    else
      ++at;
  }
  Lines flat;
  for (const Lines& a : lines) Add(flat, a);
  return flat;
}

uint32_t FromEnv(const char* name, uint32_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? static_cast<uint32_t>(std::strtoul(v, nullptr, 10)) : fallback;
}

using SessionTest = Mode8Test;

TEST_F(SessionTest, RandomSessionsKeepThePictureEqualToTheJournal) {
  const uint32_t count = FromEnv("KOV1_SESSIONS", 300), first = FromEnv("KOV1_SEED", 1);
  // The editor runs of two sessions overlap; the checks run here, one by one.
  std::future<std::pair<EditorRun, Lines>> next;
  auto start = [](uint32_t seed) {
    return std::async(std::launch::async, [seed] {
      const Lines script = Script(MakeSession(seed));
      return std::make_pair(RunEditor(script), script);
    });
  };
  int failures = 0;
  if (count > 0) next = start(first);
  for (uint32_t seed = first; seed < first + count && failures < 3; ++seed) {
    auto [run, script] = next.get();
    if (seed + 1 < first + count) next = start(seed + 1);
    const std::string fault = Fault(run, script);
    Discard(run);
    if (fault.empty()) continue;
    ++failures;
    std::ostringstream keys;
    for (const std::string& line : Shrink(MakeSession(seed))) keys << "  " << line << "\n";
    ADD_FAILURE() << "session " << seed << ": " << fault
                  << "\nshortest failing keys after start-up (then ESC * 4, ENTER, ESC * 4):\n"
                  << keys.str();
  }
  if (next.valid()) next.wait();
}

}  // namespace
