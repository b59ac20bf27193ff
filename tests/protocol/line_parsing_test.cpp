// Word matching and number reading: the rules managers rely on, where a
// blank in the wrong place or a missing number changes what a command does.
#include "protocol/line_parsing.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantrel {
namespace {

struct Scan {
    int count;
    std::int32_t v[3];
};

Scan scan(std::string_view text, std::string_view format) {
    Scan s{0, {-99, -99, -99}};
    s.count = scan_numbers(text, format, s.v, 3);
    return s;
}

TEST(LineParsing, WordsMatchAsCaseInsensitivePrefixes) {
    EXPECT_EQ(match_word("TURN 7,7", "turn"), "7,7");
    EXPECT_EQ(match_word("tUrN7,7", "turn"), "7,7");
    EXPECT_EQ(match_word("beginning", "begin"), "ning");
    // Every kind of blank after the word is skipped, and only after it.
    EXPECT_EQ(match_word("info \t\v\f\r timeout_turn 5", "info"), "timeout_turn 5");
    EXPECT_EQ(match_word("about", "about"), "");
    EXPECT_FALSE(match_word(" turn 7,7", "turn"));
    EXPECT_FALSE(match_word("tur", "turn"));
    EXPECT_FALSE(match_word("", "end"));
    EXPECT_FALSE(match_word("restart", "rectstart"));
    // Case folding is ASCII only: '@' (0x40) and '`' (0x60) are not letters.
    EXPECT_FALSE(match_word("@", "`"));
}

TEST(LineParsing, PointFormatNeedsTheCommaRightAfterTheFirstNumber) {
    Scan s = scan("7,7", "%d,%d");
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.v[0], 7);
    EXPECT_EQ(s.v[1], 7);
    EXPECT_EQ(scan("7, 7", "%d,%d").count, 2);
    EXPECT_EQ(scan("  7,\t7", "%d,%d").count, 2);
    EXPECT_EQ(scan("7 ,7", "%d,%d").count, 1);
    EXPECT_EQ(scan("7;7", "%d,%d").count, 1);
    EXPECT_EQ(scan("7,", "%d,%d").count, 1);
    EXPECT_EQ(scan("", "%d,%d").count, 0);
    EXPECT_EQ(scan("x,7", "%d,%d").count, 0);
    // Text after the last conversion is ignored.
    s = scan("3,4,whatever", "%d,%d");
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.v[1], 4);
}

TEST(LineParsing, NumbersTakeASignButNotABlankAfterIt) {
    Scan s = scan("-1,+12", "%d,%d");
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.v[0], -1);
    EXPECT_EQ(s.v[1], 12);
    EXPECT_EQ(scan("- 1,2", "%d,%d").count, 0);
    EXPECT_EQ(scan("+,2", "%d,%d").count, 0);
    EXPECT_EQ(scan("--1,2", "%d,%d").count, 0);
    // A number ends at the first non-digit.
    s = scan("12a,3", "%d,%d");
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.v[0], 12);
}

TEST(LineParsing, NumbersBeyondThirtyTwoBitsAreClamped) {
    constexpr auto max = std::numeric_limits<std::int32_t>::max();
    constexpr auto min = std::numeric_limits<std::int32_t>::min();
    // 2^32 + 15 must not wrap around to a small, valid coordinate.
    Scan s = scan("4294967311,99999999999999999999999", "%d,%d");
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.v[0], max);
    EXPECT_EQ(s.v[1], max);
    EXPECT_EQ(scan("-2147483648", "%d").v[0], min);
    EXPECT_EQ(scan("-2147483649", "%d").v[0], min);
    EXPECT_EQ(scan("2147483647", "%d").v[0], max);
    EXPECT_EQ(read_atoi("-99999999999"), min);
    EXPECT_EQ(read_atoi("99999999999"), max);
}

TEST(LineParsing, BlankInAFormatMatchesAnyRunOfBlanksOrNone) {
    EXPECT_EQ(scan("15 15", "%d %d").count, 2);
    EXPECT_EQ(scan("15\t \t20", "%d %d").count, 2);
    // The second %d fails at the comma: one number.
    Scan s = scan("15,20", "%d %d");
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.v[0], 15);
    // RECTSTART's format allows blanks on both sides of the comma.
    EXPECT_EQ(scan("20,15", "%d ,%d").count, 2);
    EXPECT_EQ(scan("20 ,15", "%d ,%d").count, 2);
    EXPECT_EQ(scan("20 , 15", "%d ,%d").count, 2);
    EXPECT_EQ(scan("20, 15", "%d ,%d").count, 2);
    EXPECT_EQ(scan("20 15", "%d ,%d").count, 1);
}

TEST(LineParsing, StoneLinesNeedThreeNumbers) {
    Scan s = scan("1,2,3", "%d,%d,%d");
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.v[2], 3);
    EXPECT_EQ(scan("1,2", "%d,%d,%d").count, 2);
    EXPECT_EQ(scan("1,2 ,1", "%d,%d,%d").count, 2);
    EXPECT_EQ(scan("done", "%d,%d,%d").count, 0);
}

TEST(LineParsing, CapacityLimitsTheValuesStored) {
    std::int32_t v[1] = {-99};
    EXPECT_EQ(scan_numbers("4,5", "%d,%d", v, 1), 1);
    EXPECT_EQ(v[0], 4);
}

TEST(LineParsing, AtoiReadsLeadingDigitsOrGivesZero) {
    EXPECT_EQ(read_atoi("5000"), 5000);
    EXPECT_EQ(read_atoi("  42"), 42);
    EXPECT_EQ(read_atoi("-7x"), -7);
    EXPECT_EQ(read_atoi("+8"), 8);
    EXPECT_EQ(read_atoi("12 34"), 12);
    EXPECT_EQ(read_atoi(""), 0);
    EXPECT_EQ(read_atoi("abc"), 0);
    EXPECT_EQ(read_atoi("- 5"), 0);
}

}  // namespace
}  // namespace vantrel
