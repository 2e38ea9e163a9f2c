// statement_edit.h - an action's lines rewritten for its changed shape.
//
// EditActionLines takes the lines of a drawn action (one shape line, or a
// text's group ending in "gosub Dprint") as it was read (`was`, see
// owners.h) and returns lines that read back as `want`, the same kind:
// - lines in the editor's own form become exactly what the editor writes
//   for `want`, padding and all;
// - any other line keeps its text and changes only the numbers that
//   differ, when the line then reads back as `want` by the reading rules;
// - otherwise the action is written in the editor's form for its kind.
// A fill's colour and border are given whole in `want` (none omitted).
#pragma once

#include <string>
#include <vector>

#include "imageformat/format.h"

std::vector<std::string> EditActionLines(const std::vector<std::string>& lines,
                                         const Statement& was, const Statement& want);

// A fill's colour and border as drawn, none omitted: an omitted colour is
// the foreground colour (15), an omitted border the fill's colour. Other
// statements come back as they are.
Statement ResolvedFill(Statement st);

// The shape moved by (dx, dy): both corners, a centre, a fill's point, a
// text's position.
Statement Moved(Statement st, int dx, int dy);
// Whether every coordinate of the shape lies on the screen, 0-639 x 0-199.
bool OnScreen(const Statement& st);
// The shape in another colour; a fill up to its own colour stays one.
Statement Recoloured(Statement st, int colour);

// The editor's own lines for an action.
std::vector<std::string> EditorFormLines(const Statement& st);

// The action's lines as one line of tidy text for the title: QuickBASIC
// statements joined with ": ", runs of blanks outside quotes made one, no
// blank after "(".
std::string TidyStatement(const std::vector<std::string>& lines);
