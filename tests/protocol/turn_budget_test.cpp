// The turn budget as a table of settings and the budgets they must give. The
// match-clock rule with the search's own stop margin holds wherever the
// manager's limits are far enough; where a cap leaves less time to search,
// the cap decides and the search keeps the reply reserve back from it.
#include "protocol/turn_budget.h"

#include <gtest/gtest.h>

#include <limits>

#include "search/iterative_deepening.h"

namespace vantrel {
namespace {

constexpr std::int32_t MAX32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t MIN32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t BIG = 1000000000;  // the initial timeout_match and time_left
constexpr std::int32_t DESIGN = STOP_MARGIN_MS;

struct Case {
    const char* what;
    TurnClock clock;  // move_number, remembered timeout_turn, manager's timeout_turn, time_left
    std::int32_t turn_time_ms;
    std::int32_t stop_margin_ms;
    bool remember;
    std::int32_t remembered;  // compared only when remember is true
};

// With the reserve at 18 ms plus a hundredth of the limit.
// clang-format off
const Case CASES[] = {
    // The match-clock rule, no cap biting (the manager allows 30000).
    {"initial settings",                     {4, 30000, 30000, BIG},    24000, DESIGN, true, 24000},
    {"a twentieth of 180000 is more",        {4, 5000, 30000, 180000},  5000,  DESIGN, true, 5000},
    {"a fifteenth of 90000, then /20",       {4, 30000, 30000, 90000},  4500,  DESIGN, true, 4500},
    {"the last budget stands",               {4, 4500, 30000, 500000},  4500,  DESIGN, true, 4500},
    {"floor of 1500",                        {4, 30000, 30000, 20000},  1500,  DESIGN, true, 1500},
    {"remembered 0 rises to the floor",      {4, 0, 30000, BIG},        1500,  DESIGN, true, 1500},
    {"27000 comes down to 24000",            {4, 27000, 30000, BIG},    24000, DESIGN, true, 24000},
    {"25000 stays",                          {4, 25000, 30000, BIG},    25000, DESIGN, true, 25000},
    {"24001 stays",                          {4, 24001, 30000, BIG},    24001, DESIGN, true, 24001},
    {"25001 comes down to 24000",            {4, 25001, 30000, BIG},    24000, DESIGN, true, 24000},
    {"move 2 gets 4000 whatever remembered", {2, 1000, 30000, BIG},     4000,  DESIGN, false, 0},
    {"move 3 gets 4000",                     {3, 27000, 30000, BIG},    4000,  DESIGN, false, 0},
    {"no limit on the match",                {4, 30000, 30000, MAX32},  24000, DESIGN, true, 24000},
    {"no limit, remembered at the maximum",  {4, MAX32, MAX32, MAX32},  24000, DESIGN, true, 24000},
    {"a limit just far enough",              {4, 1500, 1600, BIG},      1500,  DESIGN, true, 1500},
    {"budget under the limit is kept",       {4, 4500, 5000, 90000},    4500,  DESIGN, true, 4500},

    // The manager's turn limit decides: the search stops the reserve before it.
    {"turn limit equal to the budget",       {4, 5000, 5000, BIG},      5000,  DESIGN, true, 5000},
    {"a limit of 20000 on its budget",       {4, 20000, 20000, BIG},    20000, 218, true, 20000},
    {"floor above the turn limit",           {4, 1000, 1000, BIG},      1000,  28,  true, 1500},
    {"move 2 under a 1000 limit",            {2, 1000, 1000, BIG},      1000,  28,  false, 0},
    {"300 ms per turn",                      {4, 300, 300, BIG},        300,   21,  true, 1500},
    {"100 ms per turn",                      {4, 100, 100, BIG},        100,   19,  true, 1500},
    {"limit below the reserve",              {4, 5000, 10, BIG},        10,    10,  true, 5000},
    {"limit 0: minimal search",              {4, 0, 0, BIG},            MINIMAL_SEARCH_MS, 1, true, 1500},
    {"limit 0 on move 2",                    {2, 0, 0, BIG},            MINIMAL_SEARCH_MS, 1, false, 0},
    {"negative limit cannot overflow",       {4, 5000, MIN32, BIG},     MINIMAL_SEARCH_MS, 1, true, 5000},

    // A fifth of the match time left decides.
    {"floor above a fifth of 7000",          {4, 30000, 30000, 7000},   1400,  32,  true, 1500},
    {"move 2 with 10000 left",               {2, 30000, 30000, 10000},  2000,  38,  false, 0},
    {"300 ms left in the match",             {4, 1000, 1000, 300},      60,    18,  true, 1500},
    {"the smaller of the two caps wins",     {4, 1500, 1000, 4000},     800,   26,  true, 1500},
    {"no time left",                         {4, 30000, 30000, 0},      MINIMAL_SEARCH_MS, 1, true, 1500},
    {"negative time left",                   {4, 30000, 30000, -2500},  MINIMAL_SEARCH_MS, 1, true, 1500},
    {"most negative time left",              {4, 30000, 30000, MIN32},  MINIMAL_SEARCH_MS, 1, true, 1500},
    {"four milliseconds left",               {3, 30000, 30000, 4},      MINIMAL_SEARCH_MS, 1, false, 0},
};
// clang-format on

TEST(TurnBudget, TableOfSettings) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        const TurnBudget b = turn_budget(c.clock);
        EXPECT_EQ(b.turn_time_ms, c.turn_time_ms);
        EXPECT_EQ(b.stop_margin_ms, c.stop_margin_ms);
        EXPECT_EQ(b.remember, c.remember);
        if (c.remember) {
            EXPECT_EQ(b.remembered, c.remembered);
        }
    }
}

// Whatever the settings: a budget the search takes as given (above zero), a
// stop margin within it, and a search that ends at least the reserve before
// each cap.
TEST(TurnBudget, EverySettingStopsBeforeTheLimits) {
    const std::int32_t values[] = {MIN32, -100000, -1, 0, 1, 4, 99, 100, 300, 1000, 1500, 99999, 100000, MAX32};
    for (const std::int32_t move : {2, 3, 4, 100})
        for (const std::int32_t remembered : values)
            for (const std::int32_t manager : values)
                for (const std::int32_t left : values) {
                    const TurnBudget b = turn_budget({move, remembered, manager, left});
                    ASSERT_GE(b.turn_time_ms, MINIMAL_SEARCH_MS)
                        << move << ' ' << remembered << ' ' << manager << ' ' << left;
                    ASSERT_GE(b.stop_margin_ms, 1);
                    ASSERT_LE(b.stop_margin_ms, b.turn_time_ms);
                    const std::int64_t search = b.turn_time_ms - b.stop_margin_ms;
                    if (manager > 0) {
                        ASSERT_LE(search, std::max<std::int64_t>(manager - reply_reserve(manager), 0));
                    }
                    if (left != MAX32 && left > 0) {
                        const std::int32_t fifth = left / TIME_LEFT_SHARE;
                        ASSERT_LE(search, std::max<std::int64_t>(fifth - reply_reserve(fifth), 0));
                    }
                    if (b.remember) {
                        ASSERT_GE(b.remembered, MIN_BUDGET_MS);
                    }
                }
}

}  // namespace
}  // namespace vantrel
