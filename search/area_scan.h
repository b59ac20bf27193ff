// Scans of the search rectangle shared by the searches: rows from y_min to
// y_max, x ascending within a row, taking empty cells that have a stone
// nearby (near1 or near2). The order is part of the searches' behaviour:
// which of several equal cells is tried first decides node counts and moves.
#pragma once

#include <bit>
#include <cassert>
#include <cstdint>

#include "board/engine_object.h"
#include "board/pattern_tables.h"

namespace vantrel {

// A cell the scans may take: empty and next to a stone.
inline bool near_empty(const Cell& c) { return c.state == EMPTY && (c.near1 | c.near2) != 0; }

// The columns of the search rectangle as the bits of a row.
inline std::uint64_t area_columns(const Area& a) { return (2ULL << a.x_max) - (1ULL << a.x_min); }

// The cells of row y that near_empty takes, as bits within `columns`, from
// the stone rows around it: near1 counts the stones of the eight adjacent
// cells, near2 those two steps away along the four lines. `adjacent` gets
// the cells among them whose near1 is above zero. Row y lies inside the
// board, so rows y - 2 .. y + 2 are all in the grid.
inline std::uint64_t near_empty_row(const Engine& e, int y, std::uint64_t columns, std::uint64_t& adjacent) {
    const std::uint64_t* const rows = e.stone_rows;
    const std::uint64_t row = rows[y], one_off = rows[y - 1] | rows[y + 1], two_off = rows[y - 2] | rows[y + 2];
    const std::uint64_t ring1 = one_off | one_off << 1 | one_off >> 1 | row << 1 | row >> 1;
    const std::uint64_t ring2 = two_off | two_off << 2 | two_off >> 2 | row << 2 | row >> 2;
    const std::uint64_t free = ~row & columns;
    adjacent = ring1 & free;
    return (ring1 | ring2) & free;
}

// Calls visit(x, y) for every near, empty cell whose status for `player` lies
// in lowest..highest, in scan order, until visit returns true. Returns
// whether some visit returned true. The rectangle is read once: callers may
// make and take back moves inside visit, which leaves it as it was.
//
// Only statuses of a four or more are scanned for, and the engine keeps
// those cells as bits of four_rows, so only they are read. Such a cell has
// an own stone within two steps along the line of its four, so it is near
// and inside the rectangle: the status counts say how many cells the scan
// will meet, and it stops after the last of them.
template <class Visit>
inline bool scan_status(const Engine& e, int player, int lowest, int highest, Visit visit) {
    assert(STATUS_FOUR <= lowest && lowest <= highest && highest <= STATUS_FIVE);
    int left = 0;
    for (int s = lowest; s <= highest; ++s) left += e.status_count[player][s];
    if (left == 0) return false;
    const Area a = e.area;
    const std::uint64_t columns = area_columns(a);
    for (int y = a.y_min; y <= a.y_max; ++y)
        for (std::uint64_t row = e.four_rows[player][y] & columns; row != 0; row &= row - 1) {
            const int x = std::countr_zero(row);
            const Cell& c = e.cells[x][y];
            const int s = c.status[player];
            if (s < lowest || s > highest) continue;
            assert(near_empty(c));
            if (visit(x, y)) return true;
            if (--left == 0) return false;
        }
    assert(false && "a counted cell lies outside the search rectangle");
    return false;
}

// The first near, empty cell in scan order whose status for `player` is
// `status`; false when there is none.
inline bool first_with_status(const Engine& e, int player, int status, int& fx, int& fy) {
    return scan_status(e, player, status, status, [&](int x, int y) {
        fx = x;
        fy = y;
        return true;
    });
}

}  // namespace vantrel
