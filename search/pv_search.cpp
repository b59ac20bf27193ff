// The principal-variation search. Every node consults the search table, asks
// the threat search (near the root) or the outcome check (deeper) whether the
// position is decided, and searches its ordered candidates with a null window
// after the first. The best line goes into the PV table, whose row 0 holds the
// move to play; the previous iteration's line is searched first. The root has
// a function of its own: the same steps, with the root's own rules (its five
// point, its single candidate) and the moves a filter leaves out.
#include "search/pv_search.h"

#include <algorithm>

#include "board/pattern_tables.h"
#include "search/area_scan.h"
#include "search/candidates.h"
#include "search/evaluation.h"
#include "search/iterative_deepening.h"
#include "search/outcome_check.h"
#include "search/threat_search.h"

namespace vantrel {
namespace {

// Above every cell priority and the stored move's 10000: the previous line's
// move is searched first.
constexpr int FOLLOW_PV_PRIORITY = 25020;

int decided_score(int outcome) { return outcome > 0 ? WIN_SCORE - outcome : -WIN_SCORE - outcome; }

bool is_excluded(std::span<const Point> excluded, int x, int y) {
    return std::any_of(excluded.begin(), excluded.end(), [&](Point p) { return p.x == x && p.y == y; });
}

// Drops the left-out moves from the list, keeping the order of the rest.
void drop_excluded(CandidateList& list, std::span<const Point> excluded) {
    int kept = 0;
    for (int i = 0; i < list.count; ++i)
        if (!is_excluded(excluded, list.entries[i].x, list.entries[i].y)) list.entries[kept++] = list.entries[i];
    list.count = kept;
}

// One child of a node searched with a null window after the first move;
// inlined, as the loop body it was, so that the interior nodes pay no call.
[[gnu::always_inline]] inline int search_child(Engine& e, int depth, int alpha, int beta, bool first) {
    if (first) return -pv_search(e, depth - 1, false, -beta, -alpha);
    int v = -pv_search(e, depth - 1, false, -alpha - 1, -alpha);
    if (alpha < v && v < beta) v = -pv_search(e, depth - 1, false, -beta, -alpha);
    return v;
}

// A node's best so far: its value, its move for the table (packed
// x + 256 * y) and the kind of bound the value is.
struct NodeBest {
    int value;
    int move = 0;
    int bound = BOUND_UPPER;
};

// Takes a searched child's value into the node's best, recording the line
// when it raises alpha; true when it cuts the node off. Inlined like
// search_child.
[[gnu::always_inline]] inline bool take_child(Engine& e, const Candidate& c, int v, int& alpha, int beta,
                                              NodeBest& best) {
    if (v <= best.value) return false;
    best.value = v;
    best.move = c.x + 256 * c.y;
    if (v >= beta) {
        best.bound = BOUND_LOWER;
        return true;
    }
    if (v > alpha) {
        alpha = v;
        best.bound = BOUND_EXACT;
        pv_record(e, c.x, c.y);
    }
    return false;
}

}  // namespace

void pv_record(Engine& e, int x, int y) {
    PvTable& t = e.pv_table;
    const int p = e.ply;
    t.pv[p][p] = pv_move(x, y);
    // The row below may be left over from an earlier iteration: never copy
    // past the end of a row.
    const int end = std::min<int>(t.pv_length[p + 1], MAX_PLY);
    for (int j = p + 1; j < end; ++j) t.pv[p][j] = t.pv[p + 1][j];
    t.pv_length[p] = end;
}

void follow_previous_line(Engine& e, CandidateList& list, int priority) {
    if (!e.follow_pv) return;
    e.follow_pv = false;
    const std::int32_t wanted = e.pv_table.pv[0][e.ply];
    for (int i = 0; i < list.count; ++i) {
        Candidate& c = list.entries[i];
        if (pv_move(c.x, c.y) == wanted) {
            e.follow_pv = true;
            c.priority = priority;
            return;
        }
    }
}

int pv_search(Engine& e, int depth, bool root, int alpha, int beta) {
    if (root) return pv_search_root(e, depth, alpha, beta, RootFilter{});
    if (e.time_up) return evaluate(e);
    poll_clock(e);

    e.pv_table.pv_length[e.ply] = e.ply;
    NodeBest best{alpha - 1};

    ProbeOut probe_out;
    const int probed = e.hash.search_probe(alpha, beta, depth, e.ply, probe_out);
    if (probed != PROBE_MISS && probed != PROBE_MOVE_ONLY) return probed;

    const int outcome = e.ply < THREAT_SEARCH_PLIES ? threat_search(e) : outcome_check(e);
    // A threat search cut short by the clock decided nothing; the caller
    // discards this node's value.
    if (e.time_up) return best.value;
    if (outcome != 0) return decided_score(outcome);

    // The PV table has no row below the last: a node there is a leaf.
    if (depth <= 0 || e.ply >= MAX_SEARCH_DEPTH) return evaluate(e);

    CandidateList list;
    generate_candidates(e, list);
    follow_previous_line(e, list, FOLLOW_PV_PRIORITY);
    sort_candidates(list);
    if (list.count == 0) list_near_cells(e, list);

    for (int i = 0; i < list.count; ++i) {
        const Candidate& c = list.entries[i];
        e.make(c.x, c.y);
        const int v = search_child(e, depth, alpha, beta, i == 0);
        e.undo();
        if (e.time_up) return best.value;
        if (take_child(e, c, v, alpha, beta, best)) break;
    }
    e.hash.search_store(best.move, best.value, best.bound, depth);
    return best.value;
}

int pv_search_root(Engine& e, int depth, int alpha, int beta, const RootFilter& filter) {
    if (e.time_up) return evaluate(e);
    clock_check(e);
    const bool filtered = !filter.excluded.empty();

    e.pv_table.pv_length[e.ply] = e.ply;
    NodeBest best{alpha - 1};

    if (!filtered) {
        ProbeOut probe_out;
        const int probed = e.hash.search_probe(alpha, beta, depth, e.ply, probe_out);
        if (probed != PROBE_MISS && probed != PROBE_MOVE_ONLY) return probed;
    }

    const int outcome = threat_search(e);
    if (e.time_up) return best.value;
    // The side to move makes five at once: its first five point that is not
    // left out, searching nothing.
    if (outcome == 1) {
        int fx = 0, fy = 0;
        const bool found = scan_status(e, e.side, STATUS_FIVE, STATUS_FIVE, [&](int x, int y) {
            if (is_excluded(filter.excluded, x, y)) return false;
            fx = x;
            fy = y;
            return true;
        });
        if (found) {
            pv_record(e, fx, fy);
            return WIN_SCORE - 1;
        }
    }

    if (depth <= 0 || e.ply >= MAX_SEARCH_DEPTH) return evaluate(e);

    CandidateList list;
    generate_candidates(e, list);
    const bool had_candidates = list.count > 0;
    if (filtered) drop_excluded(list, filter.excluded);
    if (!filtered && list.count == 1) {
        pv_record(e, list.entries[0].x, list.entries[0].y);
        return evaluate(e);
    }
    follow_previous_line(e, list, FOLLOW_PV_PRIORITY);
    sort_candidates(list);
    if (!had_candidates) {
        list_near_cells(e, list);
        if (filtered) drop_excluded(list, filter.excluded);
    }
    for (int i = 0; i < list.count; ++i) {
        const Candidate& c = list.entries[i];
        const Point move{static_cast<std::uint8_t>(c.x), static_cast<std::uint8_t>(c.y)};
        if (filter.on_move) (*filter.on_move)(move, false);
        e.make(c.x, c.y);
        const int v = search_child(e, depth, alpha, beta, i == 0);
        e.undo();
        if (e.time_up) return best.value;
        if (filter.on_move) (*filter.on_move)(move, true);
        if (take_child(e, c, v, alpha, beta, best)) break;
    }
    // With no move to search, best is still alpha - 1: NO_ROOT_MOVE for the
    // root window.
    if (!filtered) e.hash.search_store(best.move, best.value, best.bound, depth);
    return best.value;
}

}  // namespace vantrel
