// Black's fouls in renju. A black move that makes exactly five wins; any
// other that makes an overline, two fours or two threes is a foul, and black
// loses by it. Overlines and fours are facts of the lines, which the rule's
// tables turn into statuses (STATUS_FOUL for a sure foul). Whether a three
// is a real three is not: its straight-four point must itself be a legal
// move that makes no five, judged on the board with the three's stone
// placed, to any depth. So only cells whose lines show two open threes are
// looked at closely, by playing the stones out with make and undo.
#pragma once

#include "board/engine_object.h"
#include "board/pattern_tables.h"

namespace vantrel {

// Whether a black stone on the empty playable cell (x, y), engine
// coordinates, would be a foul. Any side may be to move; the position is
// unchanged on return.
bool black_foul(Engine& e, int x, int y);

// Whether black's status on a cell leaves its move in doubt: two or more
// open threes by the lines (status 5, or a four with them, status 6).
inline bool foul_in_doubt(int black_status) {
    return black_status == STATUS_DOUBLE_THREE || black_status == STATUS_FOUR;
}

// Whether the side to move is black in renju, whose moves may be fouls.
inline bool black_fouls_apply(const Engine& e) { return e.rule == Rule::Renju && e.side == BLACK; }

// Whether the side to move may play the empty playable cell (x, y): always,
// except a black foul in renju. Cheap unless the cell's lines are in doubt.
inline bool may_take(Engine& e, int x, int y) {
    if (!black_fouls_apply(e)) return true;
    const int status = e.cells[x][y].status[BLACK];
    if (status == STATUS_FOUL) return false;
    return !foul_in_doubt(status) || !black_foul(e, x, y);
}

// Black's forbidden points in renju (none in other games): every empty cell
// where black's move would be a foul, in scan order (rows, then x), written
// to `out`; returns how many. `out` has room for every cell of the board.
int forbidden_points(Engine& e, Point* out);

}  // namespace vantrel
