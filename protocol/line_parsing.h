// Reading the arguments of protocol lines the way managers expect them to be
// read: command words matched as case-insensitive prefixes, numbers converted
// with scanf's "%d" rules against a small format, INFO values with atoi's.
// Pure functions on text, shared by the command interpreter and its tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel {

// Space, tab, line feed, vertical tab, form feed, carriage return.
bool is_blank(char c);

// When `text` begins with `word`, ignoring ASCII case, the rest of the text
// after the word and the blanks that follow it; nothing is required after the
// word ("beginning" matches "begin"). Otherwise none.
std::optional<std::string_view> match_word(std::string_view text, std::string_view word);

// Converts numbers from `text` under a scanf-style `format` made of "%d",
// blanks (any run of blanks in the text, also none) and literal characters
// (which must come next in the text, with no blank before them). Stops at the
// first mismatch and returns how many values it stored in `out` (at most
// `capacity`); text after the last conversion is ignored. Values beyond the
// 32-bit range are clamped to it.
int scan_numbers(std::string_view text, std::string_view format, std::int32_t* out, int capacity);

// atoi's reading: leading blanks, an optional sign, the digits up to the first
// other character; 0 when there are none. Clamped to the 32-bit range.
std::int32_t read_atoi(std::string_view text);

}  // namespace vantrel
