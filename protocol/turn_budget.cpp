// The budget of a searched turn: first the match-clock rule that decides the
// remembered value, then the caps from the manager's limits on top of it.
#include "protocol/turn_budget.h"

#include <algorithm>

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

// At most the manager's turn limit less the margin, and at most a fifth of the
// match time left. Worked in 64 bits: the manager may send any 32-bit value.
std::int32_t capped(std::int32_t budget, const TurnClock& clock) {
    std::int64_t t = budget;
    t = std::min<std::int64_t>(t, std::int64_t{clock.manager_turn} - REPLY_SAFETY_MARGIN_MS);
    if (clock.time_left != UNLIMITED_TIME_LEFT) t = std::min<std::int64_t>(t, clock.time_left / TIME_LEFT_SHARE);
    return static_cast<std::int32_t>(std::max<std::int64_t>(t, MINIMAL_SEARCH_MS));
}

}  // namespace

TurnBudget turn_budget(const TurnClock& clock) {
    if (clock.move_number <= 3) return {capped(FIRST_SEARCH_MS, clock), false, clock.remembered_turn};
    const std::int32_t t = clock_budget(clock.remembered_turn, clock.time_left);
    return {capped(t, clock), true, t};
}

}  // namespace vantrel
