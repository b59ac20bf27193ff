// Scans of the search rectangle shared by the searches: rows from y_min to
// y_max, x ascending within a row, taking empty cells that have a stone
// nearby (near1 or near2). The order is part of the searches' behaviour:
// which of several equal cells is tried first decides node counts and moves.
#pragma once

#include "board/engine_object.h"

namespace vantrel {

// A cell the scans may take: empty and next to a stone.
inline bool near_empty(const Cell& c) { return c.state == EMPTY && (c.near1 | c.near2) != 0; }

// Calls visit(x, y) for every near, empty cell whose status for `player` is
// accepted by `wanted`, in scan order, until visit returns true. Returns
// whether some visit returned true. The rectangle is read once: callers may
// make and take back moves inside visit, which leaves it as it was.
template <class Wanted, class Visit>
inline bool scan_status(const Engine& e, int player, Wanted wanted, Visit visit) {
    const Area a = e.area;
    for (int y = a.y_min; y <= a.y_max; ++y)
        for (int x = a.x_min; x <= a.x_max; ++x) {
            const Cell& c = e.cells[x][y];
            if (near_empty(c) && wanted(c.status[player]) && visit(x, y)) return true;
        }
    return false;
}

// The first near, empty cell in scan order whose status for `player` is
// `status`; false when there is none.
inline bool first_with_status(const Engine& e, int player, int status, int& fx, int& fy) {
    return scan_status(
        e, player, [status](int s) { return s == status; },
        [&](int x, int y) {
            fx = x;
            fy = y;
            return true;
        });
}

}  // namespace vantrel
