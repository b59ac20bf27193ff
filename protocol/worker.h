// The worker thread that runs the searches, so that the main thread can go
// on reading commands while a move is searched. Two events hand a search
// over: start_event (auto-reset, created clear) releases the worker for one
// search; done_event (manual-reset, created set) is set while the worker is
// idle. done_event is the only guard of the game: the main thread touches it
// only after wait_worker, the worker only between its release and setting
// done_event. Jobs that must wait for the search's end (when_idle) run on
// the worker right after it, before done_event is set.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "protocol/command_interpreter.h"
#include "protocol/event.h"

namespace vantrel {

class Worker final : public TurnThread {
public:
    // Starts the thread and attaches itself to `front`.
    explicit Worker(CommandInterpreter& front);
    // Waits for a running search, then ends the thread.
    ~Worker() override;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void wait_worker() override;
    // Clears done_event, then sets start_event, in this order: a wait_worker
    // that follows can never see the event still set from the last search.
    void start_search(SearchRequest request) override;
    void when_idle(std::function<void()> job) override;
    // Whether a handed-over search has not finished yet. Only the main
    // thread hands searches over, so on that thread a false answer stays
    // true.
    bool turn_running() { return !done_event_.is_set(); }

private:
    void worker_loop();
    void run_jobs();

    CommandInterpreter& front_;
    Event start_event_{Event::Reset::Auto, false};
    Event done_event_{Event::Reset::Manual, true};
    // Written by the main thread before start_event is set.
    SearchRequest request_;
    // Jobs for the end of the running search, and whether one runs (both
    // under jobs_mutex_: a job handed over while the search ends either runs
    // after it on the worker or, once it has ended, at once).
    std::mutex jobs_mutex_;
    std::vector<std::function<void()>> jobs_;
    bool searching_ = false;
    // Set by the destructor before its last release of the worker.
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vantrel
