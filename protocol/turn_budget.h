// The time budget of one searched turn: a pure function of the move number
// and the manager's time settings, kept apart from the worker that applies it
// and the search that obeys it.
//
// Two values of timeout_turn are kept apart. `remembered_turn` is the value
// the budget reads and writes back (the last budget, unless INFO replaced
// it), so a budget computed from a short match clock stays the starting point
// of the next turn. `manager_turn` is what the manager last sent by INFO and
// is never overwritten: the reply must arrive within it.
#pragma once

#include <cstdint>
#include <limits>

namespace vantrel {

// Moves 2 and 3 (the brain's first searched move in either colour) get a
// fixed budget, whatever the settings say, as long as no cap bites.
inline constexpr std::int32_t FIRST_SEARCH_MS = 4000;
// With less than this left in the match, a turn starts from a fifteenth of it.
inline constexpr std::int32_t SHORT_MATCH_MS = 100000;
inline constexpr std::int32_t SHORT_MATCH_SHARE = 15;
// No turn takes more than a twentieth of the match time left ...
inline constexpr std::int32_t MATCH_SHARE = 20;
// ... but every turn gets at least this ...
inline constexpr std::int32_t MIN_BUDGET_MS = 1500;
// ... and a budget above BUDGET_CEILING_MS comes down to CEILING_BUDGET_MS (a
// budget from 24001 to 25000 stays as it is).
inline constexpr std::int32_t BUDGET_CEILING_MS = 25000;
inline constexpr std::int32_t CEILING_BUDGET_MS = 24000;

// The caps that keep every reply within the manager's own limits. Where a
// cap decides the budget, the search stops a reply reserve before it instead
// of the design's stop margin: the reserve covers what comes after the
// deadline (the moves made until the next clock reading, unwinding the
// search, writing the reply, and the scheduling delays of a loaded machine on
// both sides of the pipe). Measured from the stop time to the manager's read
// of the move: at worst 4 ms idle, a median under 2 ms and at worst 14 ms
// with two CPU-bound processes beside the brain; the host alone has paused a
// reply for 19 ms. Rare stalls of 67 to 99 ms under that load (3 replies in
// about 1,760) are left uncovered: a reserve that long would leave a short
// limit nothing to search. A fixed part plus a share of the limit: the
// delays do not shrink with a short limit, and a long one can spare more.
inline constexpr std::int32_t RESERVE_FIXED_MS = 18;
inline constexpr std::int32_t RESERVE_SHARE = 100;  // one part in this of the limit
// A searched turn never uses more than a fifth of the match time left.
inline constexpr std::int32_t TIME_LEFT_SHARE = 5;
// The smallest budget. Zero or less would mean "no budget given" to the
// search; a budget with no time to search after its stop margin answers from
// the search's first look at the position.
inline constexpr std::int32_t MINIMAL_SEARCH_MS = 1;
// time_left with this value means the match has no time limit.
inline constexpr std::int32_t UNLIMITED_TIME_LEFT = std::numeric_limits<std::int32_t>::max();

// The manager's settings at the start of a turn, all in milliseconds.
struct TurnClock {
    std::int32_t move_number;      // number of the stone about to be played, >= 2
    std::int32_t remembered_turn;  // timeout_turn as the budget last left it
    std::int32_t manager_turn;     // timeout_turn as the manager last sent it
    std::int32_t time_left;        // match time left as the manager last sent it
};

struct TurnBudget {
    std::int32_t turn_time_ms;    // for the engine; always >= MINIMAL_SEARCH_MS
    std::int32_t stop_margin_ms;  // the search stops this long before it; <= turn_time_ms
    bool remember;                // whether `remembered` goes back into timeout_turn
    std::int32_t remembered;
};

// What the search keeps back from a limit set by the manager.
std::int32_t reply_reserve(std::int32_t limit_ms);

TurnBudget turn_budget(const TurnClock& clock);

}  // namespace vantrel
