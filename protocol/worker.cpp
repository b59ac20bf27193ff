// The worker thread's loop: it waits for a turn to be handed over, plays it
// (brain_turn.h) and reports itself idle again.
#include "protocol/worker.h"

#include "protocol/brain_turn.h"

namespace vantrel {

Worker::Worker(CommandInterpreter& front) : front_(front) {
    front_.attach(this);
    thread_ = std::thread([this] { worker_loop(); });
}

Worker::~Worker() {
    wait_worker();
    stopping_ = true;
    start_event_.set();
    thread_.join();
    front_.attach(nullptr);
}

void Worker::wait_worker() { done_event_.wait(); }

void Worker::start_thinking() {
    // A stop requested while no turn ran must not cut this one short.
    front_.stop_request = false;
    turn_started_ms_ = steady_ms();
    done_event_.clear();
    start_event_.set();
}

void Worker::worker_loop() {
    for (;;) {
        start_event_.wait();
        if (stopping_) return;
        play_turn(front_, turn_started_ms_);
        done_event_.set();
    }
}

}  // namespace vantrel
