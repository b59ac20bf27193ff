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

static_assert(std::chrono::steady_clock::is_steady);

std::int64_t steady_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void clock_check(Engine& e) {
    e.clock_checked_at = e.node_count;
    if (e.node_count >= e.node_limit || clock_ms(e) >= e.deadline_ms ||
        (e.stop_request && e.stop_request->load(std::memory_order_relaxed)))
        e.time_up = true;
}

DeepeningReport iterative_deepening_report(Engine& e, const DeepeningOptions& options) {
    if (e.turn_time_ms <= 0) e.turn_time_ms = DEFAULT_TURN_TIME_MS;
    if (e.max_depth <= 0) e.max_depth = DEFAULT_MAX_DEPTH;
    const std::int64_t started = options.started_ms.value_or(clock_ms(e));
    e.deadline_ms = started + e.turn_time_ms - options.stop_margin_ms;
    e.time_up = false;
    std::fill(&e.pv_table.pv[0][0], &e.pv_table.pv[0][0] + MAX_PLY * MAX_PLY, 0);
    e.ply = 0;
    e.node_count = 0;
    e.clock_checked_at = 0;

    DeepeningReport report;
    const int last = std::min(e.max_depth, MAX_SEARCH_DEPTH);
    for (int depth = std::min(FIRST_DEPTH, last); depth <= last; ++depth) {
        e.follow_pv = true;
        if (e.time_up) break;
        e.threat_budget = THREAT_BUDGET;
        const int score = pv_search(e, depth, true, -ROOT_WINDOW, ROOT_WINDOW);
        if (e.time_up) continue;
        report.score = score;
        report.depth = depth;
        if (options.on_iteration) {
            // A root answered from the search table records no line, but the
            // move of the iteration before still stands at its head.
            const int length = std::max(e.pv_table.pv_length[0], e.pv_table.pv[0][0] != 0 ? 1 : 0);
            options.on_iteration({depth, score, e.node_count, clock_ms(e) - started, e.pv_table.pv[0], length});
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
