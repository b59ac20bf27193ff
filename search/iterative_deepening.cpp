// Iterative deepening: one turn of the brain. Sets the deadline, runs
// pv_search at growing depths with the full window until the deepest
// iteration is done or the clock runs out, and answers the first move of the
// root line. Also the one place where the clock is read.
#include "search/iterative_deepening.h"

#include <algorithm>
#include <chrono>

#include "search/fallback_move.h"
#include "search/pv_search.h"
#include "search/threat_search.h"

namespace vantrel {

std::int64_t clock_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void clock_check(Engine& e) {
    e.clock_checked_at = e.node_count;
    if (clock_ms() >= e.deadline_ms) e.time_up = true;
}

DeepeningReport iterative_deepening_report(Engine& e) {
    if (e.turn_time_ms <= 0) e.turn_time_ms = DEFAULT_TURN_TIME_MS;
    if (e.max_depth < 2) e.max_depth = DEFAULT_MAX_DEPTH;
    e.deadline_ms = clock_ms() + e.turn_time_ms - STOP_MARGIN_MS;
    e.time_up = false;
    std::fill(&e.pv_table.pv[0][0], &e.pv_table.pv[0][0] + MAX_PLY * MAX_PLY, 0);
    e.ply = 0;
    e.node_count = 0;
    e.clock_checked_at = 0;

    DeepeningReport report;
    const int last = std::min(e.max_depth, MAX_SEARCH_DEPTH);
    for (int depth = FIRST_DEPTH; depth <= last; ++depth) {
        e.follow_pv = true;
        if (e.time_up) break;
        e.threat_budget = THREAT_BUDGET;
        const int score = pv_search(e, depth, true, -ROOT_WINDOW, ROOT_WINDOW);
        if (!e.time_up) {
            report.score = score;
            report.depth = depth;
        }
    }
    e.hash.clear_bounds();

    const std::int32_t m = e.pv_table.pv[0][0];
    int x = pv_move_x(m), y = pv_move_y(m);
    if (!playable_empty(e, x, y)) {
        report.fallback = true;
        const Point p = fallback_move(e);
        x = p.x;
        y = p.y;
    }
    if (x != 0) report.move = {x - MARGIN, y - MARGIN};
    return report;
}

BoardPoint iterative_deepening(Engine& e) { return iterative_deepening_report(e).move; }

}  // namespace vantrel
