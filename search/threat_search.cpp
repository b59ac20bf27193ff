// The threat-sequence search: the outcome check's tests in the same order,
// plus one step that tries every four, so that sequences of fours of any
// length are found. Decided positions go into the threat table, which only a
// new game empties; a node budget, reset by iterative deepening before each
// iteration, bounds the work.
//
// The search also honours the clock: a full budget can take longer than the
// stop margin, so it reads the clock at the same cadence as the main search.
// A search cut short by the clock answers 0 and stores nothing, neither for
// the node that saw the deadline nor for any node above it, because their
// results would rest on an unfinished child.
#include "search/threat_search.h"

#include "board/pattern_tables.h"
#include "board/renju_fouls.h"
#include "search/area_scan.h"
#include "search/five_defences.h"
#include "search/iterative_deepening.h"
#include "search/outcome_check.h"

namespace vantrel {
namespace {

// Packed (0, 0), outside every board: the position was decided without a
// move, or not decided at all (then its outcome is 0).
constexpr int NO_MOVE = 0;

int packed(int x, int y) { return x + 256 * y; }

int store(Engine& e, int value, int move) {
    e.hash.threat_store(value, move);
    return value;
}

// Tries the moves whose status for the side to move lies in lowest..highest,
// in scan order, for a reply that leaves the opponent lost. Returns the winning outcome (stored), or 0 when no
// move wins or the clock ran out (then time_up is set and nothing is stored).
int try_fours(Engine& e, int lowest, int highest) {
    int result = 0;
    const bool fouls = black_fouls_apply(e);
    scan_status(e, e.side, lowest, highest, [&](int x, int y) {
        if (fouls && !may_take(e, x, y)) return false;
        e.make(x, y);
        const int reply = threat_search(e);
        e.undo();
        if (e.time_up) return true;
        if (reply < 0) {
            result = store(e, 1 - reply, packed(x, y));
            return true;
        }
        return false;
    });
    return e.time_up ? 0 : result;
}

bool can_make_four(const std::int32_t* counts) {
    return (counts[STATUS_OPEN_FOUR] | counts[STATUS_FOUR_THREE] | counts[STATUS_FOUR_PLUS] | counts[STATUS_FOUR]) != 0;
}

}  // namespace

int threat_search(Engine& e) {
    int stored = 0;
    if (e.hash.threat_probe(stored)) return stored;
    if (e.threat_budget <= 0) return outcome_check(e);
    poll_clock(e);
    if (e.time_up) return 0;
    --e.threat_budget;

    const std::int32_t* own = e.status_count[e.side];
    const std::int32_t* opp = e.status_count[e.other];

    if (own[STATUS_FIVE] >= 1) return store(e, 1, NO_MOVE);
    if (caro_rule(e)) {
        if (opp[STATUS_FIVE] >= 1) {
            const int best = best_caro_defence(e, threat_search);
            return e.time_up ? 0 : store(e, best, NO_MOVE);
        }
    } else {
        if (opp[STATUS_FIVE] >= 2) return store(e, -2, NO_MOVE);
        if (opp[STATUS_FIVE] == 1) {
            int bx = 0, by = 0;
            if (first_with_status(e, e.other, STATUS_FIVE, bx, by)) {
                // Black cannot block on its foul in renju, and loses.
                if (!may_take(e, bx, by)) return store(e, -2, NO_MOVE);
                e.make(bx, by);
                const int c = threat_search(e);
                e.undo();
                if (e.time_up) return 0;
                return store(e, one_ply_on(c), packed(bx, by));
            }
        }
    }
    if (own[STATUS_OPEN_FOUR] >= 1) return store(e, 3, NO_MOVE);
    if (own[STATUS_FOUR_THREE] >= 1) {
        // Black's three in renju may be no real three: the win is played
        // out instead of claimed.
        if (!can_make_four(opp) && !black_fouls_apply(e)) return store(e, 5, NO_MOVE);
        if (const int win = try_fours(e, STATUS_FOUR_THREE, STATUS_FOUR_THREE); win != 0) return win;
        if (e.time_up) return 0;
    }
    // Black's double three in renju is a foul, or no double three.
    if (own[STATUS_DOUBLE_THREE] >= 1 && !can_make_four(opp) && !black_fouls_apply(e)) return store(e, 5, NO_MOVE);
    if (own[STATUS_FOUR_PLUS] >= 1 || own[STATUS_FOUR] >= 1) {
        if (const int win = try_fours(e, STATUS_FOUR, STATUS_FOUR_PLUS); win != 0) return win;
        if (e.time_up) return 0;
    }
    return store(e, 0, NO_MOVE);
}

}  // namespace vantrel
