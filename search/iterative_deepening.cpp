// Iterative deepening: one turn of the brain. Sets the deadline, runs
// pv_search at growing depths with the full window until the deepest
// iteration is done or the clock runs out, and answers the first move of the
// root line. Several lines search the root once per line and keep each
// line's root row of the PV table between iterations. Also the one place
// where the clock is read.
#include "search/iterative_deepening.h"

#include <algorithm>
#include <chrono>
#include <limits>

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

namespace {

// One line between iterations: its score and the whole root row of the PV
// table it left, beyond its length too, since the next iteration follows the
// row as it stands.
struct SavedLine {
    int score = 0;
    int length = 0;
    std::int32_t row[MAX_PLY] = {};
};

void save_row(const Engine& e, int score, SavedLine& line) {
    const PvTable& t = e.pv_table;
    std::copy(t.pv[0], t.pv[0] + MAX_PLY, line.row);
    // A root answered from the search table records no line, but the move of
    // the iteration before still stands at its head.
    line.length = std::max(t.pv_length[0], t.pv[0][0] != 0 ? 1 : 0);
    line.score = score;
}

void restore_row(Engine& e, const SavedLine& line) {
    std::copy(line.row, line.row + MAX_PLY, e.pv_table.pv[0]);
    e.pv_table.pv_length[0] = line.length;
}

Point unpacked(std::int32_t m) {
    return Point{static_cast<std::uint8_t>(pv_move_x(m)), static_cast<std::uint8_t>(pv_move_y(m))};
}

// The lines of one iteration: line k searches the root without the excluded
// moves and the first moves of lines 0 .. k - 1, following its own row of
// the iteration before. Returns how many lines were found (fewer than asked
// when the root runs out of moves), or -1 when the clock cut the iteration
// short; then `saved` stays as the iteration before left it, and the root row
// holds the first line if it was finished, else what its search recorded.
int search_lines(Engine& e, int depth, const DeepeningOptions& options, SavedLine (&saved)[MAX_PV_LINES],
                 int& saved_count) {
    std::vector<Point> excluded = options.excluded;
    SavedLine found[MAX_PV_LINES];
    const int wanted = std::clamp(options.lines, 1, MAX_PV_LINES);
    int n = 0;
    for (int k = 0; k < wanted; ++k) {
        if (k < saved_count)
            restore_row(e, saved[k]);
        else if (k > 0)
            std::fill(e.pv_table.pv[0], e.pv_table.pv[0] + MAX_PLY, 0);
        e.follow_pv = true;
        if (k > 0) e.threat_budget = THREAT_BUDGET;
        const RootFilter filter{excluded, options.on_root_move ? &options.on_root_move : nullptr};
        const int score = pv_search_root(e, depth, -ROOT_WINDOW, ROOT_WINDOW, filter);
        if (e.time_up) {
            if (n > 0) restore_row(e, found[0]);
            return -1;
        }
        if (score == NO_ROOT_MOVE) break;
        save_row(e, score, found[n++]);
        excluded.push_back(unpacked(e.pv_table.pv[0][0]));
    }
    std::copy(found, found + n, saved);
    saved_count = n;
    if (n > 0) restore_row(e, found[0]);
    return n;
}

}  // namespace

void start_clock(Engine& e, const DeepeningOptions& options, std::int64_t started) {
    if (e.turn_time_ms <= 0) e.turn_time_ms = DEFAULT_TURN_TIME_MS;
    if (e.max_depth <= 0) e.max_depth = DEFAULT_MAX_DEPTH;
    e.deadline_ms = options.until_stopped ? std::numeric_limits<std::int64_t>::max()
                                          : started + e.turn_time_ms - options.stop_margin_ms;
    e.time_up = false;
    e.ply = 0;
    e.node_count = 0;
    e.clock_checked_at = 0;
}

DeepeningReport iterative_deepening_report(Engine& e, const DeepeningOptions& options) {
    const std::int64_t started = options.started_ms.value_or(clock_ms(e));
    start_clock(e, options, started);
    // Every row empty: a root that records its move without searching a
    // child (its five point, its one candidate) must not take in a row below
    // that an earlier search left longer than its head.
    std::fill(&e.pv_table.pv[0][0], &e.pv_table.pv[0][0] + MAX_PLY * MAX_PLY, 0);
    for (int ply = 0; ply < MAX_PLY; ++ply) e.pv_table.pv_length[ply] = ply;

    // One line, nothing left out, nobody told of root moves: the design's
    // search, step for step.
    const bool plain = options.lines <= 1 && options.excluded.empty() && !options.on_root_move;
    SavedLine saved[MAX_PV_LINES];
    int saved_count = 0;
    PvLine lines[MAX_PV_LINES];

    DeepeningReport report;
    const int last = std::min(e.max_depth, MAX_SEARCH_DEPTH);
    for (int depth = std::min(FIRST_DEPTH, last); depth <= last; ++depth) {
        e.follow_pv = true;
        if (e.time_up) break;
        e.threat_budget = THREAT_BUDGET;
        int line_count = 1;
        if (plain) {
            const int score = pv_search(e, depth, true, -ROOT_WINDOW, ROOT_WINDOW);
            if (e.time_up) continue;
            save_row(e, score, saved[0]);
            saved_count = 1;
        } else {
            line_count = search_lines(e, depth, options, saved, saved_count);
            if (line_count < 0) continue;
            if (line_count == 0) break;
        }
        report.score = saved[0].score;
        report.depth = depth;
        if (options.on_iteration) {
            for (int i = 0; i < line_count; ++i) {
                lines[i].score = saved[i].score;
                lines[i].length = saved[i].length;
                std::copy(saved[i].row, saved[i].row + saved[i].length, lines[i].moves);
            }
            options.on_iteration({depth, report.score, e.node_count, clock_ms(e) - started, lines[0].moves,
                                  lines[0].length, lines, line_count});
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
