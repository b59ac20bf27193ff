// Iterative deepening under the clock: pv_search to depths 5, 6, ... up to
// max_depth until the deadline, answering the best root move recorded; with
// several lines, the root searched once per line in every iteration, each
// time without the moves of the lines before. Also the one place where the
// searches read the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "board/engine_object.h"
#include "search/evaluation.h"
#include "search/pv_search.h"

namespace vantrel {

inline constexpr int FIRST_DEPTH = 5;
inline constexpr int DEFAULT_MAX_DEPTH = 15;
inline constexpr int DEFAULT_TURN_TIME_MS = 8000;  // when turn_time_ms is not set
inline constexpr int STOP_MARGIN_MS = 100;         // the search stops this early
// Moves made between clock readings: about a millisecond of search, so that
// the stop after the deadline (or a stop request) costs little of the reply
// reserve; a reading costs some tens of nanoseconds.
inline constexpr int CLOCK_CADENCE = 1024;

// Milliseconds on the steady clock: the deadline must not move when the wall
// clock is set during a turn.
std::int64_t steady_ms();

// The engine's clock reading: its injected clock, else the steady clock.
inline std::int64_t clock_ms(const Engine& e) { return e.clock ? e.clock() : steady_ms(); }

// Reads the clock and sets time_up once the deadline has passed, the node
// limit is reached or a stop is requested; notes the node_count of the
// reading in clock_checked_at.
void clock_check(Engine& e);

// The searches' one question to the clock, asked at the entry to a node: the
// node limit every time, and the clock again once at least CLOCK_CADENCE
// moves have been made since the last reading. (Waiting for node_count to
// hit an exact multiple could miss every multiple while the threat search and
// the outcome check make the moves in between.) The roots call clock_check
// directly, so a search reads the clock at once when it starts.
inline void poll_clock(Engine& e) {
    if (e.node_count >= e.node_limit)
        e.time_up = true;
    else if (e.node_count - e.clock_checked_at >= CLOCK_CADENCE)
        clock_check(e);
}

// The deepest search the principal-variation table can hold: a root at ply 0
// searched this deep puts its leaves at ply MAX_PLY - 1, the last row.
inline constexpr int MAX_SEARCH_DEPTH = MAX_PLY - 1;

// Scores at least this far from zero are forced results (a five on ply n
// scores WIN_SCORE - n): no game on the largest board lasts more plies than
// it has points.
inline constexpr int DECIDED_SCORE = WIN_SCORE - MAX_BOARD_SIZE * MAX_BOARD_SIZE;
inline bool is_decided(int score) { return score >= DECIDED_SCORE || score <= -DECIDED_SCORE; }

// The most lines one search follows.
inline constexpr int MAX_PV_LINES = 10;

// One line of an iteration: the root's score without the moves of the lines
// before it, and the line the search expects, packed engine moves.
struct PvLine {
    int score = 0;
    int length = 0;
    std::int32_t moves[MAX_PLY] = {};
};

// One completed iteration, as it is handed to an observer.
struct IterationReport {
    int depth = 0;
    int score = 0;                     // root value, from the view of the side to move
    std::int64_t nodes = 0;            // moves made since the turn began
    std::int64_t elapsed_ms = 0;       // since the turn began
    const std::int32_t* pv = nullptr;  // the root line, packed engine moves
    int pv_length = 0;
    // Every line of the iteration, best first; the first is score and pv.
    const PvLine* lines = nullptr;
    int line_count = 0;
};

// What the caller adds to the engine's own settings for one turn.
struct DeepeningOptions {
    // The search stops this long before turn_time_ms has passed.
    int stop_margin_ms = STOP_MARGIN_MS;
    // Clock reading the turn counts from; none: the start of the search.
    std::optional<std::int64_t> started_ms;
    // No deadline: only the depth, the node limit or a stop request end it.
    bool until_stopped = false;
    // Lines per iteration, 1 to MAX_PV_LINES: line k is the best root move
    // apart from those of lines 0 .. k - 1, searched with the full window.
    int lines = 1;
    // Root moves never searched, engine coordinates.
    std::vector<Point> excluded;
    // Told of every root move searched.
    RootMoveHook on_root_move;
    // Called after every iteration that the clock did not cut short.
    std::function<void(const IterationReport&)> on_iteration;
};

// What one turn of iterative deepening found.
struct DeepeningReport {
    BoardPoint move;        // protocol coordinates; (-1, -1) only on a full board
    int score = 0;          // root value of the deepest iteration that finished
    int depth = 0;          // that iteration's depth; 0 when none finished
    bool fallback = false;  // no root move was recorded: the fallback move
};

// The start of every search under the clock: the defaults of turn_time_ms
// and max_depth, the deadline counted from `started` (a clock reading), and
// the counters cleared.
void start_clock(Engine& e, const DeepeningOptions& options, std::int64_t started);

// One turn: pv_search to depths FIRST_DEPTH .. max_depth (at most
// MAX_SEARCH_DEPTH; a max_depth below FIRST_DEPTH is the one depth searched,
// 0 or less means DEFAULT_MAX_DEPTH) until the deadline, turn_time_ms less
// the stop margin from the turn's start, the node limit or a stop request.
// The move is the best root move recorded (of the first line), or the
// fallback move when none was; it is not placed.
DeepeningReport iterative_deepening_report(Engine& e, const DeepeningOptions& options = {});

// The chosen point, protocol coordinates, always an empty cell of the board
// when the board has one. Does not place it.
BoardPoint iterative_deepening(Engine& e);

}  // namespace vantrel
