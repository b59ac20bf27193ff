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

namespace vantrel {

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

}  // namespace vantrel
