// A search request carried out, as every front end runs it: the opening
// point on an empty board, otherwise the search the request asks for (the
// brain's move, its N best moves, a Swap2 answer, a balancing move, a
// defence) under the request's limits, then the answer placed on the game
// and written. It runs on whichever thread the front end gives it: the
// worker thread of the standard-input brain (worker.h), or the caller's own
// thread (same_thread_turns.h) in the browser build, the tests and the
// fuzzer. It knows the request and the game, not the interpreter.
#pragma once

#include <cstdint>
#include <span>

#include "protocol/info_settings.h"
#include "protocol/search_request.h"
#include "protocol/turn_budget.h"
#include "search/iterative_deepening.h"

namespace vantrel {

class AnalysisReport;

// The budget of the brain's searched move number `move_number` from the
// INFO settings; writes the remembered value back into timeout_turn, as
// every budgeted search does.
TurnBudget budget_turn(InfoSettings& info, std::int32_t move_number);

// The engine's limits and the deepening options of the request: budget or
// no deadline, depth, node limit, stop request, the points left out.
DeepeningOptions apply_limits(const SearchRequest& r);

// The analysis lines of the request's search, or none without show_detail 3.
void report_iterations(const SearchRequest& r, DeepeningOptions& options, AnalysisReport* report);

// Places the points on the game in order and writes them on one line. A
// point that is taken, off the board or left out by the request is replaced
// by the first free point in scan order that is not left out (any free
// point when all are).
void place_and_answer(const SearchRequest& r, std::span<const BoardPoint> points);

// Carries out the request; ends with its one answer line (or the error line
// of a full board).
void run_search(const SearchRequest& r);

}  // namespace vantrel
