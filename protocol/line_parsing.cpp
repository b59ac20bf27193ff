// scanf- and atoi-style number reading over a string_view: the line may hold
// any bytes, so nothing here relies on a terminating zero or on the C locale.
#include "protocol/line_parsing.h"

#include <algorithm>
#include <limits>

namespace vantrel {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t skip_blanks(std::string_view text, std::size_t i) {
    while (i < text.size() && is_blank(text[i])) ++i;
    return i;
}

// An optional sign and at least one digit from text[i]; on success moves i past
// them. Accumulates in 64 bits and saturates, so a long run of digits cannot
// overflow.
std::optional<std::int32_t> read_signed(std::string_view text, std::size_t& i) {
    constexpr std::int64_t LIMIT = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::size_t j = i;
    bool negative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
    if (j >= text.size() || !is_digit(text[j])) return std::nullopt;
    std::int64_t value = 0;
    for (; j < text.size() && is_digit(text[j]); ++j)
        if (value < LIMIT) value = value * 10 + (text[j] - '0');
    i = j;
    if (negative) return static_cast<std::int32_t>(-std::min(value, LIMIT));
    return static_cast<std::int32_t>(std::min(value, LIMIT - 1));
}

}  // namespace

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::optional<std::string_view> match_word(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return std::nullopt;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (ascii_lower(text[i]) != ascii_lower(word[i])) return std::nullopt;
    return text.substr(skip_blanks(text, word.size()));
}

int scan_numbers(std::string_view text, std::string_view format, std::int32_t* out, int capacity) {
    int stored = 0;
    std::size_t i = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        const char c = format[f];
        if (c == '%' && f + 1 < format.size() && format[f + 1] == 'd') {
            ++f;
            if (stored == capacity) break;
            i = skip_blanks(text, i);
            const auto value = read_signed(text, i);
            if (!value) break;
            out[stored++] = *value;
        } else if (is_blank(c)) {
            i = skip_blanks(text, i);
        } else {
            if (i >= text.size() || text[i] != c) break;
            ++i;
        }
    }
    return stored;
}

std::int32_t read_atoi(std::string_view text) {
    std::size_t i = skip_blanks(text, 0);
    return read_signed(text, i).value_or(0);
}

}  // namespace vantrel
