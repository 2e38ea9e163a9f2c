// Reading the key script of the Script back-end.
#include "backends/script_parse.h"

#include <charconv>

#include "gfx/keys.h"
#include "runtime/cp437.h"

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (is_blank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (is_blank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> split_blanks(std::string_view s) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && is_blank(s[i])) ++i;
    size_t start = i;
    while (i < s.size() && !is_blank(s[i])) ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// A plain decimal number (digits only) that fits an int; -1 when it is not.
int parse_number(std::string_view s) {
  int value = -1;
  if (s.empty() || s.size() > 10) return -1;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
  }
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return -1;
  return value;
}

// "1".."12" after a prefix such as "F" or "CTRL-F"; 0 when not.
int function_key_number(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return 0;
  std::string_view digits = name.substr(prefix.size());
  if (digits.empty() || digits[0] == '0') return 0;
  int n = parse_number(digits);
  return n >= 1 && n <= 12 ? n : 0;
}

// A letter A..Z after a prefix such as "CTRL-"; -1 when not.
int letter_after(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + 1 || name.substr(0, prefix.size()) != prefix) return -1;
  char c = name.back();
  return c >= 'A' && c <= 'Z' ? c - 'A' : -1;
}

struct NamedKey {
  const char* name;
  uint32_t code;
};

constexpr NamedKey kNamedKeys[] = {
    {"UP", ext_key(kUp.plain)},
    {"DOWN", ext_key(kDown.plain)},
    {"LEFT", ext_key(kLeft.plain)},
    {"RIGHT", ext_key(kRight.plain)},
    {"HOME", ext_key(kHome.plain)},
    {"END", ext_key(kEnd.plain)},
    {"PGUP", ext_key(kPageUp.plain)},
    {"PGDN", ext_key(kPageDown.plain)},
    {"INS", ext_key(kInsert.plain)},
    {"DEL", ext_key(kDelete.plain)},
    {"ENTER", kCodeEnter},
    {"ESC", kCodeEsc},
    {"BS", kCodeBackspace},
    {"TAB", kCodeTab},
    {"SPACE", kCodeSpace},
    {"CLOSE", kCodeClose},
};

uint32_t named_key_code(std::string_view key) {
  const std::string name = upper(key);
  for (const NamedKey& k : kNamedKeys) {
    if (name == k.name) return k.code;
  }
  struct FColumn {
    const char* prefix;
    KeyMods mods;
  };
  for (FColumn f : {FColumn{"F", KeyMods::Plain}, FColumn{"SHIFT-F", KeyMods::Shift},
                    FColumn{"CTRL-F", KeyMods::Ctrl}, FColumn{"ALT-F", KeyMods::Alt}}) {
    if (int n = function_key_number(name, f.prefix)) {
      return ext_key(column(kFunctionKeys[n - 1], f.mods));
    }
  }
  if (int i = letter_after(name, "CTRL-"); i >= 0) return ctrl_code(static_cast<char>('A' + i));
  if (int i = letter_after(name, "ALT-"); i >= 0) return ext_key(kAltLetters[i]);
  return 0;
}

bool is_word(std::string_view word, std::string_view keyword) {
  return upper(word) == upper(keyword);
}

// A snapshot name stays inside the snapshot folder: no "/", no leading ".".
bool valid_snapshot_name(std::string_view name) {
  return !name.empty() && name[0] != '.' && name.find('/') == std::string_view::npos;
}

// text "STRING": the characters between the first and the last double quote.
bool parse_text(std::string_view rest, ScriptStep& step, std::string& reason) {
  if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"') {
    reason = "text needs a string in double quotes";
    return false;
  }
  const std::string_view typed = rest.substr(1, rest.size() - 2);
  if (typed.find('\0') != std::string_view::npos) {
    reason = "text contains a NUL character";
    return false;
  }
  // As typed on a keyboard: characters that would read as Ctrl keys give ?.
  const std::string chars = typed_text_to_cp437(typed);
  if (chars.empty()) {
    reason = "text has no characters";
    return false;
  }
  for (char c : chars) step.keys.push_back(static_cast<uint8_t>(c));
  return true;
}

bool parse_code(std::string_view word, ScriptStep& step, std::string& reason) {
  const int n = parse_number(word);
  const bool character = n >= 1 && n <= 255;
  const bool extended = n > 255 && n <= 0xFFFF && (n & 0xFF) == 0xFF;
  if (!character && !extended) {
    reason = "CODE needs 1-255 or (b << 8) OR 255, not \"" + std::string(word) + "\"";
    return false;
  }
  step.keys.push_back(static_cast<uint32_t>(n));
  return true;
}

// Where the script's pointer is, and where its left button went down.
struct PointerTrack {
  int x = 0, y = 0;
  int press_x = 0, press_y = 0;
};

int parse_signed(std::string_view s) {
  if (!s.empty() && s[0] == '-') {
    const int n = parse_number(s.substr(1));
    return n < 0 ? -1 : -n;
  }
  return parse_number(s);
}

// point X Y | press | release | click | rclick | wheel N; false when the
// line is none of them. A release ends a drag when a point line moved the
// pointer to another pixel since the press.
bool parse_pointer_line(const std::vector<std::string_view>& words, ScriptStep& step,
                        PointerTrack& p, std::string& reason, bool& matched) {
  const std::string_view first = words[0];
  const size_t n = words.size();
  matched = true;
  step.kind = StepKind::Press;
  if (is_word(first, "point")) {
    const int x = n == 3 ? parse_number(words[1]) : -1;
    const int y = n == 3 ? parse_number(words[2]) : -1;
    if (x < 0 || y < 0 || x > 8191 || y > 8191) {
      reason = "point needs two picture coordinates of 0 or more";
      return false;
    }
    p.x = x, p.y = y;
    step.keys.push_back(pointer_code(PointerKind::Move, x, y));
    return true;
  }
  if (is_word(first, "wheel")) {
    const int steps = n == 2 ? parse_signed(words[1]) : 0;
    if (steps == 0 || steps < -99 || steps > 99 || (steps == -1 && words[1] != "-1")) {
      reason = "wheel needs a number of steps, -99 to 99 and not 0";
      return false;
    }
    step.keys.push_back(pointer_code(PointerKind::Wheel, 0, steps));
    return true;
  }
  const bool press = is_word(first, "press"), release = is_word(first, "release");
  const bool click = is_word(first, "click"), rclick = is_word(first, "rclick");
  if (!press && !release && !click && !rclick) {
    matched = false;
    return false;
  }
  if (n != 1) {
    reason = std::string(first) + " takes nothing after it";
    return false;
  }
  if (press || click) {
    p.press_x = p.x, p.press_y = p.y;
    step.keys.push_back(pointer_code(PointerKind::Press, p.x, p.y));
  }
  if (release || click) {
    const bool dragged = p.x != p.press_x || p.y != p.press_y;
    const PointerKind kind = dragged ? PointerKind::DragRelease : PointerKind::Release;
    step.keys.push_back(pointer_code(kind, p.x, p.y));
  }
  if (rclick) step.keys.push_back(pointer_code(PointerKind::RightPress, p.x, p.y));
  return true;
}

bool parse_key_words(const std::vector<std::string_view>& words, ScriptStep& step,
                     std::string& reason) {
  for (std::string_view w : words) {
    const uint32_t code = script_key_code(w);
    if (code == 0) {
      reason = "unknown key \"" + std::string(w) + "\"";
      return false;
    }
    step.keys.push_back(code);
  }
  return true;
}

// One line without its surrounding blanks, not empty and not a comment.
bool parse_line(std::string_view line, ScriptStep& step, PointerTrack& pointer,
                std::string& reason) {
  const std::vector<std::string_view> words = split_blanks(line);
  const std::string_view first = words[0];
  const size_t n = words.size();
  bool matched = false;
  const bool ok = parse_pointer_line(words, step, pointer, reason, matched);
  if (matched) return ok;
  if (is_word(first, "text")) {
    step.kind = StepKind::Press;
    return parse_text(trim(line.substr(first.size())), step, reason);
  }
  if (is_word(first, "burst")) {
    step.kind = StepKind::Burst;
    if (n < 2) reason = "burst needs at least one key";
    return n >= 2 && parse_key_words({words.begin() + 1, words.end()}, step, reason);
  }
  if (is_word(first, "CODE")) {
    step.kind = StepKind::Press;
    if (n != 2) reason = "CODE needs one number";
    return n == 2 && parse_code(words[1], step, reason);
  }
  if (is_word(first, "wait")) {
    step.kind = StepKind::Wait;
    step.ms = n == 2 ? parse_number(words[1]) : -1;
    if (step.ms < 0) reason = "wait needs a number of milliseconds";
    return step.ms >= 0;
  }
  if (is_word(first, "snap") || is_word(first, "pages") || is_word(first, "title")) {
    step.kind = is_word(first, "snap")    ? StepKind::Snap
                : is_word(first, "pages") ? StepKind::Pages
                                          : StepKind::Title;
    step.name = n == 2 ? std::string(words[1]) : std::string();
    if (!valid_snapshot_name(step.name)) {
      reason = "a snapshot needs one name without \"/\", not starting with \".\"";
      return false;
    }
    return true;
  }
  if (is_word(first, "copy")) {
    step.kind = StepKind::Copy;
    if (n == 3) step.file = words[1], step.name = words[2];
    if (!valid_snapshot_name(step.file) || !valid_snapshot_name(step.name)) {
      reason = "copy needs a file and a name, each without \"/\" and not starting with \".\"";
      return false;
    }
    return true;
  }
  if (is_word(first, "kill") && n == 1) {
    step.kind = StepKind::Kill;
    return true;
  }
  step.kind = StepKind::Press;
  if (n == 3 && words[1] == "*") {
    step.repeat = parse_number(words[2]);
    if (step.repeat < 1) {
      reason = "the count after * must be a whole number of at least 1";
      return false;
    }
    return parse_key_words({words[0]}, step, reason);
  }
  if (n != 1) {
    reason = "one key per line (use burst for several at once)";
    return false;
  }
  return parse_key_words(words, step, reason);
}

}  // namespace

uint32_t script_key_code(std::string_view key) {
  if (key.size() == 1) {
    const char c = key[0];
    return c > ' ' && c < 127 && c != '#' ? static_cast<uint32_t>(c) : 0;
  }
  return named_key_code(key);
}

bool parse_script(std::string_view text, std::vector<ScriptStep>& steps, ScriptError& error) {
  steps.clear();
  int number = 0;
  PointerTrack pointer;
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    const std::string_view raw = text.substr(0, lf);
    text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    ++number;
    const std::string_view line = trim(raw);
    if (line.empty() || line[0] == '#') continue;
    ScriptStep step;
    step.line = number;
    if (!parse_line(line, step, pointer, error.reason)) {
      error.line = number;
      return false;
    }
    steps.push_back(std::move(step));
  }
  return true;
}
