// The lines the brain writes about its moves and searches, each defined once
// here: the move, the search info line after every iteration, the analysis
// GUI's INFO PV block and MESSAGE REALTIME lines, the FORBID line, and the
// win-rate mapping behind the block's WINRATE. The writers below and the
// checkers beside them (the fuzzer's and the tests') share these
// definitions, so a field cannot change in one and not the other.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "board/engine_object.h"
#include "search/iterative_deepening.h"

namespace vantrel {

inline constexpr std::string_view FULL_BOARD_REPLY = "ERROR no empty point";

// "x,y", protocol coordinates: the move line, and every point of the lines
// below.
std::string point_text(BoardPoint p);
// A packed PV-table move (engine coordinates) as "x,y".
std::string packed_point_text(std::int32_t packed);

// "MESSAGE depth D score S nodes N nps R time T pv x,y ..." after every
// finished iteration: line 0's score and line.
inline constexpr std::string_view SEARCH_INFO_PREFIX = "MESSAGE depth ";
std::string search_info_line(const IterationReport& it);

// The INFO PV block, one per line of an iteration, its keys in this order;
// every key has a value. The block ends with "INFO PV DONE".
inline constexpr std::string_view PV_BLOCK_KEYS[] = {"PV", "NUMPV", "DEPTH", "EVAL", "WINRATE", "BESTLINE"};
inline constexpr std::string_view PV_BLOCK_END = "INFO PV DONE";

// EVAL and WINRATE read a score steadily across iterations: an odd depth
// ends on the side to move's stone and an even one on the opponent's, which
// tilts every score of an iteration by tens of points the same way. The
// iteration's tilt is estimated from its best score and the one before
// (`previous_best`), and half of it is taken off every line's score alike:
// the best line reads the mean of the last two best scores, and the lines
// keep the order the search gave them. A forced result stands as it is.
int steady_eval(int score, int best, std::optional<int> previous_best);
// "+Mk" / "-Mk" for a win / loss in k moves of the winner (a five on ply n
// is the winner's move ceil(n / 2)), otherwise the score as an integer.
std::string eval_text(int score);
// The chance that the side to move wins, from its score: a forced win 1, a
// forced loss 0, otherwise the logistic curve 1 / (1 + e^(-score /
// WIN_RATE_SCALE)): 0 is even, +WIN_RATE_SCALE about 0.73, twice that 0.88.
inline constexpr double WIN_RATE_SCALE = 150.0;
double win_rate(int score);
// The win rate with three decimals ("0.573").
std::string win_rate_text(int score);

// The block of line `index` of `count`, in order.
std::vector<std::string> pv_block(int index, int count, int depth, int eval, const PvLine& line);

// MESSAGE REALTIME lines: the best move so far, the root move being
// searched and searched, a root move proven lost, and the clearing of the
// searched marks.
enum class Realtime { Best, Pos, Done, Lose };
std::string realtime_line(Realtime kind, BoardPoint p);
inline constexpr std::string_view REALTIME_REFRESH = "MESSAGE REALTIME REFRESH";

// "FORBID " then each point as four digits (x, then y, two digits each),
// then "."; "FORBID ." with none.
std::string forbid_line(std::span<const BoardPoint> points);

// Whether a line is one of the analysis lines above, field by field: for the
// checkers, never for the writers.
bool is_analysis_line(std::string_view line);

// Writes the analysis lines of one search: the block and the best move after
// every iteration, with each line's EVAL steadied by the same move's score
// of the iteration before, and the root moves as they are searched once the
// search has run ROOT_MOVES_AFTER_MS (the first iterations end too quickly
// for a person to follow them).
class AnalysisReport {
public:
    static constexpr std::int64_t ROOT_MOVES_AFTER_MS = 1000;

    // `write` takes one line; `clock` reads milliseconds since the search
    // started.
    template <class Write, class Clock>
    AnalysisReport(Write write, Clock clock) : write_(std::move(write)), elapsed_ms_(std::move(clock)) {}

    void iteration(const IterationReport& it);
    void root_move(Point move, bool searched);

private:
    std::function<void(std::string_view)> write_;
    std::function<std::int64_t()> elapsed_ms_;
    // The first move and score of every line of the last iteration.
    std::optional<int> previous_best_;  // the last iteration's best score
    bool root_marks_ = false;   // POS or DONE written since the last REFRESH
    bool pos_written_ = false;  // the root move being searched was written as POS
};

}  // namespace vantrel
