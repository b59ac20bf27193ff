// The fixed-depth search behind think: fail-hard alpha-beta with an inclusive
// window, the outcome check at every node (never the threat search), won and
// lost scores moved one step towards zero per ply so that nearer wins score
// higher, and exact child values kept in the search table without bound flags.
#include "search/fixed_depth_search.h"

#include <algorithm>
#include <cstdint>

#include "board/pattern_tables.h"
#include "search/area_scan.h"
#include "search/candidates.h"
#include "search/evaluation.h"
#include "search/fallback_move.h"
#include "search/iterative_deepening.h"
#include "search/outcome_check.h"
#include "search/pv_search.h"

namespace vantrel {
namespace {

// Scores this far from zero are won or lost; they shrink by one per ply.
constexpr int MATE_RANGE = 25000;
// Above every other priority: the previous line's move is searched first.
constexpr int FOLLOW_PV_PRIORITY = 30002;

Point point_of(int x, int y) { return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)}; }

}  // namespace

FixedResult fixed_depth_search(Engine& e, int depth, bool root, int alpha, int beta) {
    if (alpha > beta + 1) return {{}, beta + 1};
    int best = alpha - 1;
    Point best_move;
    if (e.time_up) return {{}, 0};
    if (root)
        clock_check(e);
    else
        poll_clock(e);
    e.pv_table.pv_length[e.ply] = e.ply;

    const int outcome = outcome_check(e);
    if (!root) {
        if (outcome > 0) return {{}, WIN_SCORE - outcome};
        if (outcome < 0) return {{}, -WIN_SCORE - outcome};
    } else if (outcome == 1) {
        int fx = 0, fy = 0;
        if (first_with_status(e, e.side, STATUS_FIVE, fx, fy)) {
            pv_record(e, fx, fy);
            return {point_of(fx, fy), WIN_SCORE - 1};
        }
    }
    // The PV table has no row below the last: a node there is a leaf.
    if (depth <= 0 || e.ply >= MAX_SEARCH_DEPTH) return {{}, evaluate(e)};

    CandidateList list;
    generate_candidates(e, list);
    if (root && list.count == 1) {
        const Candidate& only = list.entries[0];
        pv_record(e, only.x, only.y);
        return {point_of(only.x, only.y), only.priority};
    }
    follow_previous_line(e, list, FOLLOW_PV_PRIORITY);
    sort_candidates(list);
    if (list.count == 0) list_near_cells(e, list);

    for (int i = 0; i < list.count; ++i) {
        const Candidate& c = list.entries[i];
        e.make(c.x, c.y);
        int v = 0;
        if (!e.hash.search_lookup_fixed(depth - 1, v)) {
            // The child's window, formed and compared in 16 bits; a bound in
            // the won or lost range is widened by the one step a score loses
            // on its way up.
            auto child_alpha = static_cast<std::int16_t>(-beta);
            if (child_alpha <= -MATE_RANGE) child_alpha = static_cast<std::int16_t>(child_alpha - 1);
            auto child_beta = static_cast<std::int16_t>(-best - 1);
            if (child_beta >= MATE_RANGE) child_beta = static_cast<std::int16_t>(child_beta + 1);
            const FixedResult child = fixed_depth_search(e, depth - 1, false, child_alpha, child_beta);
            v = -child.value;
            if (v >= MATE_RANGE)
                --v;
            else if (v <= -MATE_RANGE)
                ++v;
            if (-child_beta <= v && v <= -child_alpha)
                e.hash.search_store_fixed(v, depth - 1, e.move_count, child.move.x + 256 * child.move.y);
        }
        e.undo();
        if (e.time_up) return {{}, 0};
        if (v > best) {
            best_move = point_of(c.x, c.y);
            best = v;
            if (v > beta) return {best_move, beta + 1};
            pv_record(e, c.x, c.y);
        }
    }
    return {best_move, best};
}

// The caller sets up the clock: time_up clear and deadline_ms ahead. The
// search starts at ply 0, as iterative deepening's does, because the game's
// own moves raise ply between searches and the PV table is indexed by it.
void Engine::think(int& x, int& y, int depth) {
    depth = std::clamp(depth, 1, MAX_SEARCH_DEPTH);
    ply = 0;
    node_count = 0;
    clock_checked_at = 0;
    const FixedResult r = fixed_depth_search(*this, depth, true, -ROOT_WINDOW, ROOT_WINDOW);
    Point m = r.move;
    if (!playable_empty(*this, m.x, m.y)) m = fallback_move(*this);
    if (m.x == 0) {
        x = y = -1;  // a full board: nothing to play
        return;
    }
    x = m.x - MARGIN;
    y = m.y - MARGIN;
    move(x, y);
}

}  // namespace vantrel
