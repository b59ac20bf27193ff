// Iterative deepening under the clock: pv_search to depths 5, 6, ... up to
// max_depth until the deadline, answering the best root move recorded. Also
// the one place where the searches read the clock.
#pragma once

#include <cstdint>

#include "board/engine_object.h"

namespace vantrel {

inline constexpr int FIRST_DEPTH = 5;
inline constexpr int DEFAULT_MAX_DEPTH = 15;
inline constexpr int DEFAULT_TURN_TIME_MS = 8000;  // when turn_time_ms is not set
inline constexpr int STOP_MARGIN_MS = 100;         // the search stops this early
inline constexpr int CLOCK_CADENCE = 4096;         // moves made between clock readings

// Wall clock in milliseconds.
std::int64_t clock_ms();

// Reads the clock and sets time_up once the deadline has passed; notes the
// node_count of the reading in clock_checked_at.
void clock_check(Engine& e);

// The searches' one question to the clock, asked at the entry to a node: read
// it again once at least CLOCK_CADENCE moves have been made since the last
// reading. (Waiting for node_count to hit an exact multiple could miss every
// multiple while the threat search and the outcome check make the moves in
// between.) The roots call clock_check directly, so a search reads the clock
// at once when it starts.
inline void poll_clock(Engine& e) {
    if (e.node_count - e.clock_checked_at >= CLOCK_CADENCE) clock_check(e);
}

// The deepest search the principal-variation table can hold: a root at ply 0
// searched this deep puts its leaves at ply MAX_PLY - 1, the last row.
inline constexpr int MAX_SEARCH_DEPTH = MAX_PLY - 1;

// What one turn of iterative deepening found.
struct DeepeningReport {
    BoardPoint move;        // protocol coordinates; (-1, -1) only on a full board
    int score = 0;          // root value of the deepest iteration that finished
    int depth = 0;          // that iteration's depth; 0 when none finished
    bool fallback = false;  // no root move was recorded: the fallback move
};

// One turn: pv_search to depths FIRST_DEPTH .. max_depth (at most
// MAX_SEARCH_DEPTH) until the deadline, turn_time_ms - STOP_MARGIN_MS from
// now. The move is the best root move recorded, or the fallback move when
// none was; it is not placed.
DeepeningReport iterative_deepening_report(Engine& e);

// The chosen point, protocol coordinates, always an empty cell of the board
// when the board has one. Does not place it.
BoardPoint iterative_deepening(Engine& e);

}  // namespace vantrel
