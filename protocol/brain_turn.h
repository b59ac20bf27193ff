// The brain's turn, as every front end plays it: the opening point on an
// empty board, otherwise the turn budget from the INFO settings and the
// search under it, then the move placed and written through the interpreter.
// It runs on whichever thread the front end gives it: the worker thread of
// the standard-input brain (worker.h), or the caller's own thread
// (same_thread_turns.h) in the browser build, the tests and the fuzzer.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/command_interpreter.h"
#include "protocol/turn_budget.h"
#include "search/iterative_deepening.h"

namespace vantrel {

// The budget of the brain's turn on the interpreter's game, from the move
// number and the INFO settings; writes the remembered value back into
// timeout_turn, as every searched turn does.
TurnBudget budget_turn(CommandInterpreter& front);

// Iterative deepening on the interpreter's engine under `budget`, counted
// from `started_ms` (steady_ms() when the turn's command arrived), with the
// INFO depth and node limits and the YXSTOP request; after every completed
// iteration a search info line "MESSAGE depth ..." through reply when
// `messages` is set. The move is not placed.
DeepeningReport run_search(CommandInterpreter& front, const TurnBudget& budget, std::int64_t started_ms,
                           bool messages = true);

// budget_turn, then run_search with messages: the searched turn.
DeepeningReport search_turn(CommandInterpreter& front, std::int64_t started_ms);

// The search info line of one completed iteration, protocol coordinates.
std::string search_info_line(const IterationReport& it);

// The brain's turn on the interpreter's game: the opening point on an empty
// board, otherwise a search under the turn's budget. Writes the move (or, on
// a full board, an error line). `started_ms`: when the turn was handed over.
void play_turn(CommandInterpreter& front, std::int64_t started_ms);

}  // namespace vantrel
