// The outcome check: reads the status counts, and plays out only the forced
// lines they reveal (the block of a single five point, and the own moves that
// make a four with an open three). See outcome_check.h for the result.
#include "search/outcome_check.h"

#include "board/pattern_tables.h"
#include "board/renju_fouls.h"
#include "search/area_scan.h"
#include "search/five_defences.h"
#include "search/position_guard.h"

namespace vantrel {

namespace {

bool can_make_four(const Engine& e, int player) {
    const std::int32_t* count = e.status_count[player];
    return (count[STATUS_OPEN_FOUR] | count[STATUS_FOUR_THREE] | count[STATUS_FOUR_PLUS] | count[STATUS_FOUR]) != 0;
}

int check(Engine& e) {
    const std::int32_t* own = e.status_count[e.side];
    const std::int32_t* opp = e.status_count[e.other];

    if (own[STATUS_FIVE] >= 1) return 1;
    if (caro_rule(e)) {
        if (opp[STATUS_FIVE] >= 1) return best_caro_defence(e, check);
    } else {
        if (opp[STATUS_FIVE] >= 2) return -2;
        if (opp[STATUS_FIVE] == 1) {
            // The one reply to a five threat decides: the outcome is the
            // opponent's outcome after the block, one ply further on. Black
            // cannot block on its foul in renju, and loses.
            int result = 0;
            const bool found = scan_status(e, e.other, STATUS_FIVE, STATUS_FIVE, [&](int x, int y) {
                if (!may_take(e, x, y)) {
                    result = -2;
                    return true;
                }
                e.make(x, y);
                result = one_ply_on(check(e));
                e.undo();
                return true;
            });
            if (found) return result;
        }
    }

    if (own[STATUS_OPEN_FOUR] >= 1) return 3;

    if (own[STATUS_FOUR_THREE] >= 1) {
        // Black's three in renju may be no real three: the win is played
        // out instead of claimed.
        if (!can_make_four(e, e.other) && !black_fouls_apply(e)) return 5;
        int result = 0;
        const bool won = scan_status(e, e.side, STATUS_FOUR_THREE, STATUS_FOUR_THREE, [&](int x, int y) {
            e.make(x, y);
            const int reply = check(e);
            e.undo();
            if (reply >= 0) return false;
            result = 1 - reply;
            return true;
        });
        if (won) return result;
    }

    // Black's double three in renju is a foul, or no double three.
    if (own[STATUS_DOUBLE_THREE] >= 1 && !can_make_four(e, e.other) && !black_fouls_apply(e)) return 5;
    return 0;
}

}  // namespace

int outcome_check(Engine& e) {
    const PositionGuard guard(e);
    return check(e);
}

}  // namespace vantrel
