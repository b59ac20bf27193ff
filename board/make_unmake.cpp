// Making and unmaking moves: the only operations that change the board. A
// stone changes the line masks of the 32 cells that share a line window with
// it; each of those that is empty has its line type looked up again in that
// one direction and its statuses (and the status counts) refreshed. The near
// counts, the search rectangle and the position hash follow. make and undo are
// a mirrored pair: each step of one has its twin in the other.
#include <algorithm>
#include <cassert>

#include "board/engine_object.h"
#include "board/pattern_tables.h"

namespace vantrel {
namespace {

// Distance between neighbouring cells of direction d in the [x][y] grid.
constexpr int STEP[DIRECTIONS] = {DX[0] * GRID_SIZE + DY[0], DX[1] * GRID_SIZE + DY[1], DX[2] * GRID_SIZE + DY[2],
                                  DX[3] * GRID_SIZE + DY[3]};

// Offsets of the eight adjacent cells and of the eight cells two steps away
// along the four lines.
constexpr int NEAR1[8] = {STEP[0], -STEP[0], STEP[1], -STEP[1], STEP[2], -STEP[2], STEP[3], -STEP[3]};
constexpr int NEAR2[8] = {2 * STEP[0], -2 * STEP[0], 2 * STEP[1], -2 * STEP[1],
                          2 * STEP[2], -2 * STEP[2], 2 * STEP[3], -2 * STEP[3]};

inline int status_of(const Cell& c, int p) {
    return StatusTable[status_index(c.line_type[0][p], c.line_type[1][p], c.line_type[2][p], c.line_type[3][p])];
}

inline void lookup_line(Cell& c, int d) {
    c.line_type[d][0] = LineTypeTable[pair_index(c.line_mask[d][0], c.line_mask[d][1])];
    c.line_type[d][1] = LineTypeTable[pair_index(c.line_mask[d][1], c.line_mask[d][0])];
}

inline void lookup_statuses(Cell& c) {
    c.status[0] = static_cast<std::uint8_t>(status_of(c, 0));
    c.status[1] = static_cast<std::uint8_t>(status_of(c, 1));
}

}  // namespace

// An empty cell whose masks changed in direction d: it leaves the counts
// under its old statuses and re-enters under the new ones. Everything is read
// into locals first: the byte-sized fields may alias anything, and the
// counters are touched only when a status really changes (mostly it does not).
inline void Engine::relookup(Cell& c, int d) {
    const int m0 = c.line_mask[d][0], m1 = c.line_mask[d][1];
    const int old0 = c.status[0], old1 = c.status[1];
    c.line_type[d][0] = LineTypeTable[pair_index(m0, m1)];
    c.line_type[d][1] = LineTypeTable[pair_index(m1, m0)];
    const int new0 = status_of(c, 0), new1 = status_of(c, 1);
    c.status[0] = static_cast<std::uint8_t>(new0);
    c.status[1] = static_cast<std::uint8_t>(new1);
    if (new0 != old0) {
        --status_count[0][old0];
        ++status_count[0][new0];
    }
    if (new1 != old1) {
        --status_count[1][old1];
        ++status_count[1][new1];
    }
}

void Engine::make(int x, int y) {
    assert(x >= MARGIN && x < board_width + MARGIN && y >= MARGIN && y < board_height + MARGIN);
    assert(cells[x][y].state == EMPTY);
    assert(move_count < HISTORY_SIZE);

    const int p = side;
    Cell* const centre = &cells[x][y];

    ++node_count;
    --status_count[0][centre->status[0]];
    --status_count[1][centre->status[1]];
    centre->state = p;

    history[move_count] = Point{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
    area_lo_saved[move_count] = Point{area.x_min, area.y_min};
    area_hi_saved[move_count] = Point{area.x_max, area.y_max};
    ++move_count;

    area.x_min = static_cast<std::uint8_t>(std::max(std::min<int>(area.x_min, x - 2), MARGIN));
    area.y_min = static_cast<std::uint8_t>(std::max(std::min<int>(area.y_min, y - 2), MARGIN));
    area.x_max = static_cast<std::uint8_t>(std::min(std::max<int>(area.x_max, x + 2), board_width + MARGIN - 1));
    area.y_max = static_cast<std::uint8_t>(std::min(std::max<int>(area.y_max, y + 2), board_height + MARGIN - 1));

    for (int d = 0; d < DIRECTIONS; ++d) {
        for (int k = 1; k <= 4; ++k) {
            // Seen from k steps back the stone is k steps forward, and the
            // other way round.
            Cell& back = centre[-k * STEP[d]];
            back.line_mask[d][p] |= static_cast<std::uint8_t>(0x10 << (k - 1));
            if (back.state == EMPTY) relookup(back, d);
            Cell& forward = centre[k * STEP[d]];
            forward.line_mask[d][p] |= static_cast<std::uint8_t>(0x08 >> (k - 1));
            if (forward.state == EMPTY) relookup(forward, d);
        }
    }
    for (int i = 0; i < 8; ++i) {
        ++centre[NEAR1[i]].near1;
        ++centre[NEAR2[i]].near2;
    }

    hash.add_stone(x, y, p);
    side = 1 - side;
    other = 1 - other;
    ++ply;
}

void Engine::undo() {
    assert(move_count > 0);

    --move_count;
    const int x = history[move_count].x, y = history[move_count].y;
    Cell* const centre = &cells[x][y];

    area.x_min = area_lo_saved[move_count].x;
    area.y_min = area_lo_saved[move_count].y;
    area.x_max = area_hi_saved[move_count].x;
    area.y_max = area_hi_saved[move_count].y;

    // The cell's masks were kept exact while it was occupied.
    for (int d = 0; d < DIRECTIONS; ++d) lookup_line(*centre, d);
    lookup_statuses(*centre);
    ++status_count[0][centre->status[0]];
    ++status_count[1][centre->status[1]];
    centre->state = EMPTY;

    side = 1 - side;
    other = 1 - other;
    const int p = side;
    hash.remove_stone(x, y, p);
    --ply;

    for (int d = 0; d < DIRECTIONS; ++d) {
        for (int k = 1; k <= 4; ++k) {
            Cell& back = centre[-k * STEP[d]];
            back.line_mask[d][p] &= static_cast<std::uint8_t>(~(0x10 << (k - 1)));
            if (back.state == EMPTY) relookup(back, d);
            Cell& forward = centre[k * STEP[d]];
            forward.line_mask[d][p] &= static_cast<std::uint8_t>(~(0x08 >> (k - 1)));
            if (forward.state == EMPTY) relookup(forward, d);
        }
    }
    for (int i = 0; i < 8; ++i) {
        --centre[NEAR1[i]].near1;
        --centre[NEAR2[i]].near2;
    }
}

void Engine::move(int x, int y) { make(x + MARGIN, y + MARGIN); }

}  // namespace vantrel
