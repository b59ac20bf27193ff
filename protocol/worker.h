// The worker thread that plays the brain's turns, so that the main thread can
// go on reading commands while a move is searched. Two events hand a turn
// over: start_event (auto-reset, created clear) releases the worker for one
// turn; done_event (manual-reset, created set) is set while the worker is
// idle. done_event is the only guard of the engine, the board size and the
// move numbering: the main thread touches them only after wait_worker, the
// worker only between its release and setting done_event.
#pragma once

#include <cstdint>
#include <thread>

#include "protocol/command_interpreter.h"
#include "protocol/event.h"
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

class Worker final : public TurnThread {
public:
    // Starts the thread and attaches itself to `front`.
    explicit Worker(CommandInterpreter& front);
    // Waits for a running turn, then ends the thread.
    ~Worker() override;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void wait_worker() override;
    // Clears done_event, then sets start_event, in this order: a wait_worker
    // that follows can never see the event still set from the last turn.
    void start_thinking() override;
    // Whether a handed-over turn has not finished yet. Only the main thread
    // hands turns over, so on that thread a false answer stays true.
    bool turn_running() { return !done_event_.is_set(); }

private:
    void worker_loop();

    CommandInterpreter& front_;
    Event start_event_{Event::Reset::Auto, false};
    Event done_event_{Event::Reset::Manual, true};
    // When the last turn was handed over; written before start_event is set.
    std::int64_t turn_started_ms_ = 0;
    // Set by the destructor before its last release of the worker.
    bool stopping_ = false;
    std::thread thread_;
};

// Plays each turn at once on the calling thread: a deterministic stand-in for
// the worker in tests and in the fuzzer.
class SameThreadTurns final : public TurnThread {
public:
    explicit SameThreadTurns(CommandInterpreter& front) : front_(front) { front_.attach(this); }
    ~SameThreadTurns() override { front_.attach(nullptr); }

    void wait_worker() override {}
    void start_thinking() override {
        front_.stop_request = false;
        play_turn(front_, steady_ms());
    }

private:
    CommandInterpreter& front_;
};

}  // namespace vantrel
