// cp437.h - conversions between code page 437 and UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The Unicode code point of a code page 437 byte (0-31 and 127 as the
// graphic characters of the set, 0 as U+0000).
uint32_t cp437_to_unicode(uint8_t byte);
// The code page 437 byte of a code point, or '?' when it has none.
uint8_t unicode_to_cp437(uint32_t code_point);
// Converts text; control characters (below 32, 127) pass through unchanged.
std::string cp437_to_utf8(std::string_view text);
// Converts UTF-8 text as typed; characters without an equivalent become '?'.
std::string utf8_to_cp437(std::string_view text);
// The text with its control characters (below 32, 127) as '?', so that it
// can stand on one line of a message.
std::string controls_as_question_marks(std::string_view text);
// Converts text typed on a keyboard: as utf8_to_cp437, and the graphic
// characters of bytes 1-31 and 127 also become '?', as they would otherwise
// read as Ctrl keys.
std::string typed_text_to_cp437(std::string_view text);
