// console.h - the text console, used when no graphics screen is open.
//
// console_print_line prints code page 437 text and a line end, converted to
// UTF-8 when the locale's character type is UTF-8. console_inkey polls the
// keyboard without waiting ("" until a key is pressed), in raw terminal mode
// that is restored at exit and on SIGINT/SIGTERM; when standard input is not
// a terminal, or at its end, it returns a key at once. When standard output
// is not a terminal, clearing writes nothing, so the output holds exactly the
// printed lines.
#pragma once

#include <string>
#include <string_view>

void console_clear();
void console_print(std::string_view cp437_text);
void console_print_line(std::string_view cp437_text);
std::string console_inkey();
// Sets the terminal back to its state before the first key poll.
void console_restore();
