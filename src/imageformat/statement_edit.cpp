// Rewriting an action's lines: the editor's form, or the numbers alone,
// checked by reading the line back.
#include "imageformat/statement_edit.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string_view>

#include "gfx/draw.h"

Statement ResolvedFill(Statement st);

namespace {

bool Digit(char c) {
  return c >= '0' && c <= '9';
}

// Where a number stands in a line: sign, digits, point, exponent; never
// inside quotes or a name.
struct Token {
  size_t at, len;
};

std::vector<Token> NumberTokens(std::string_view line) {
  std::vector<Token> tokens;
  bool quoted = false;
  for (size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (c == '"') quoted = !quoted;
    const bool name = std::isalpha(static_cast<unsigned char>(c)) || c == '$' || c == '_';
    if (quoted || name) {
      for (++i; !quoted && i < line.size() && (std::isalnum(static_cast<unsigned char>(line[i])));)
        ++i;
      continue;
    }
    size_t j = i;
    if ((c == '-' || c == '+') && j + 1 < line.size()) ++j;
    const size_t digits_at = j;
    while (j < line.size() && (Digit(line[j]) || line[j] == '.')) ++j;
    if (j == digits_at || (j == digits_at + 1 && line[digits_at] == '.')) {
      ++i;
      continue;
    }
    if (j + 1 < line.size() && std::strchr("EeDd", line[j]) != nullptr) {
      size_t k = j + 1;
      if (k < line.size() && (line[k] == '-' || line[k] == '+')) ++k;
      if (k < line.size() && Digit(line[k])) {
        while (k < line.size() && Digit(line[k])) ++k;
        j = k;
      }
    }
    tokens.push_back({i, j - i});
    i = j;
  }
  return tokens;
}

bool Corners(StatementKind k) {
  return k == StatementKind::Line || k == StatementKind::Box || k == StatementKind::FilledBox;
}

// The numbers of a statement in the order a line writes them.
std::vector<int> Fields(const Statement& st) {
  if (Corners(st.kind)) return {st.x1, st.y1, st.x2, st.y2, st.colour};
  if (st.kind == StatementKind::Ellipse) return {st.x1, st.y1, st.radius, st.colour};
  if (st.kind == StatementKind::Paint) return {st.x1, st.y1, st.colour, st.border};
  return {st.value};
}

bool SameShape(const Statement& a, const Statement& b) {
  if (a.kind != b.kind || Fields(a) != Fields(b)) return false;
  return a.kind != StatementKind::Ellipse || a.aspect == b.aspect;
}

// The line with the numbers of the fields that differ replaced, when it
// then reads back as want.
std::optional<std::string> NumbersOnly(const std::string& line, const Statement& was,
                                       const Statement& want) {
  const std::vector<Token> tokens = NumberTokens(line);
  const std::vector<int> from = Fields(ResolvedFill(was)), to = Fields(want);
  std::string out = line;
  for (size_t f = from.size(); f-- > 0;) {  // from the end, so places stay
    // A field the line leaves out may follow another one (a fill's border
    // its colour): reading the line back decides.
    if (from[f] == to[f] || f >= tokens.size()) continue;
    out.replace(tokens[f].at, tokens[f].len, std::to_string(to[f]));
  }
  if (!SameShape(ResolvedFill(ReadStatement(out)), ResolvedFill(want))) return std::nullopt;
  return out;
}

std::vector<std::string> EditText(const std::vector<std::string>& lines, const Statement& was,
                                  const Statement& want) {
  const std::vector<std::string> old_form = TextGroup("", was.colour, was.y1, was.x1);
  if (lines.size() == 5 && lines[0].starts_with("PrintFlarp$ = \"") && lines[0].ends_with('"') &&
      std::equal(lines.begin() + 1, lines.end(), old_form.begin() + 1)) {
    std::vector<std::string> out = TextGroup("", want.colour, want.y1, want.x1);
    out[0] = lines[0];
    return out;
  }
  std::vector<std::string> out = lines;
  const std::pair<StatementKind, std::pair<int, int>> changes[] = {
      {StatementKind::Fcolor, {was.colour, want.colour}},
      {StatementKind::Wy, {was.y1, want.y1}},
      {StatementKind::Wx, {was.x1, want.x1}}};
  for (const auto& [kind, values] : changes) {
    if (values.first == values.second) continue;
    size_t last = SIZE_MAX;
    for (size_t i = 0; i < out.size(); ++i) {
      if (ReadStatement(out[i]).kind == kind) last = i;
    }
    Statement from, to;
    from.kind = to.kind = kind;
    from.value = values.first, to.value = values.second;
    std::optional<std::string> line;
    if (last != SIZE_MAX) line = NumbersOnly(out[last], from, to);
    if (!line) return EditorFormLines(want);
    out[last] = *line;
  }
  return out;
}

}  // namespace

Statement ResolvedFill(Statement st) {
  if (st.kind != StatementKind::Paint) return st;
  if (st.paint_flags & kColourOmitted) st.colour = 15;
  if (st.paint_flags & kBorderOmitted) st.border = st.colour;
  st.paint_flags = 0;
  return st;
}

Statement Moved(Statement st, int dx, int dy) {
  st.x1 += dx, st.y1 += dy;
  if (Corners(st.kind)) st.x2 += dx, st.y2 += dy;
  return st;
}

bool OnScreen(const Statement& st) {
  auto on = [](int x, int y) { return x >= 0 && x <= 639 && y >= 0 && y <= 199; };
  return on(st.x1, st.y1) && (!Corners(st.kind) || on(st.x2, st.y2));
}

Statement Recoloured(Statement st, int colour) {
  if (st.kind == StatementKind::Paint && st.border == st.colour) st.border = colour;
  st.colour = colour;
  return st;
}

std::vector<std::string> EditorFormLines(const Statement& st) {
  switch (st.kind) {
    case StatementKind::Line:
      return {LineStatement(st.x1, st.y1, st.x2, st.y2, st.colour)};
    case StatementKind::Box:
      return {BoxStatement(st.x1, st.y1, st.x2, st.y2, st.colour)};
    case StatementKind::FilledBox:
      return {FilledBoxStatement(st.x1, st.y1, st.x2, st.y2, st.colour)};
    case StatementKind::Ellipse:
      return {CircleStatement(st.x1, st.y1, st.radius, st.colour, static_cast<float>(st.aspect))};
    case StatementKind::Paint: {
      const Statement r = ResolvedFill(st);
      return {PaintStatement(r.x1, r.y1, r.colour, r.border)};
    }
    case StatementKind::Dprint:
      return TextGroup(st.text, st.colour, st.y1, st.x1);
    default:
      return {};
  }
}

std::vector<std::string> EditActionLines(const std::vector<std::string>& lines,
                                         const Statement& was, const Statement& want) {
  if (want.kind == StatementKind::Dprint) return EditText(lines, was, want);
  if (lines.size() == 1) {
    const std::vector<std::string> old_form = EditorFormLines(was);
    if (lines == old_form) return EditorFormLines(want);
    if (std::optional<std::string> line = NumbersOnly(lines[0], was, want)) return {*line};
  }
  return EditorFormLines(want);
}

std::string TidyStatement(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    if (!out.empty()) out += ": ";
    bool quoted = false;
    for (char c : line) {
      if (c == '"') quoted = !quoted;
      if (!quoted && c == ' ' && (out.empty() || out.back() == ' ' || out.back() == '(')) continue;
      out += c;
    }
    while (out.ends_with(' ')) out.pop_back();
  }
  return out;
}
