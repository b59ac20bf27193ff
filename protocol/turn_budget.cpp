// The budget of a searched turn: first the match-clock rule that decides the
// remembered value, then the caps from the manager's limits on top of it.
#include "protocol/turn_budget.h"

#include <algorithm>

#include "search/iterative_deepening.h"

namespace vantrel {
namespace {

// The budget from the match clock alone. Every division truncates toward
// zero; nothing here can overflow, since only divisions touch time_left.
std::int32_t clock_budget(std::int32_t remembered_turn, std::int32_t time_left) {
    std::int32_t t = time_left < SHORT_MATCH_MS ? time_left / SHORT_MATCH_SHARE : remembered_turn;
    if (t > time_left / MATCH_SHARE) t = time_left / MATCH_SHARE;
    if (t < MIN_BUDGET_MS)
        t = MIN_BUDGET_MS;
    else if (t > BUDGET_CEILING_MS)
        t = CEILING_BUDGET_MS;
    return t;
}

// The design's budget with its stop margin, unless a cap leaves less time to
// search: then the cap, less the reply reserve. The manager's turn limit
// caps every turn, and a fifth of the match time left caps it too (a limit of
// the brain's own, far from the manager's, so that the clock never runs out).
// Worked in 64 bits: the manager may send any 32-bit value.
TurnBudget capped(std::int32_t budget, const TurnClock& clock, bool remember, std::int32_t remembered) {
    std::int64_t cap = clock.manager_turn;
    if (clock.time_left != UNLIMITED_TIME_LEFT) cap = std::min<std::int64_t>(cap, clock.time_left / TIME_LEFT_SHARE);
    const std::int64_t design_search = std::int64_t{budget} - STOP_MARGIN_MS;
    if (cap > 0 && design_search <= cap - reply_reserve(static_cast<std::int32_t>(cap)))
        return {budget, STOP_MARGIN_MS, remember, remembered};
    const auto turn = static_cast<std::int32_t>(std::max<std::int64_t>(cap, MINIMAL_SEARCH_MS));
    const std::int32_t search = std::max(turn - reply_reserve(turn), 0);
    return {turn, turn - search, remember, remembered};
}

}  // namespace

std::int32_t reply_reserve(std::int32_t limit_ms) { return RESERVE_FIXED_MS + std::max(limit_ms, 0) / RESERVE_SHARE; }

TurnBudget turn_budget(const TurnClock& clock) {
    if (clock.move_number <= 3) return capped(FIRST_SEARCH_MS, clock, false, clock.remembered_turn);
    const std::int32_t t = clock_budget(clock.remembered_turn, clock.time_left);
    return capped(t, clock, true, t);
}

}  // namespace vantrel
