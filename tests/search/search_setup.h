// Shared set-up for the search tests: a clock that never runs out, and one
// turn of iterative deepening to a fixed depth. Results must never depend on
// the wall clock, so every search here runs with time to spare.
#pragma once

#include <cstdint>
#include <limits>

#include "board/engine_object.h"
#include "search/iterative_deepening.h"
#include "search/threat_search.h"

namespace vantrel::testing {

// A deadline no search reaches, for calling the searches directly: they read
// the clock and would stop at once against a stale deadline.
inline void give_ample_time(Engine& e) {
    e.deadline_ms = std::numeric_limits<std::int64_t>::max();
    e.time_up = false;
    e.clock_checked_at = e.node_count;
    e.threat_budget = THREAT_BUDGET;
}

// Far more than any test search needs; the clock never cuts the search.
inline constexpr int AMPLE_TURN_MS = 1000000000;

// One turn of iterative deepening to max_depth with ample time.
inline DeepeningReport deepen(Engine& e, int max_depth) {
    e.max_depth = max_depth;
    e.turn_time_ms = AMPLE_TURN_MS;
    return iterative_deepening_report(e);
}

}  // namespace vantrel::testing
