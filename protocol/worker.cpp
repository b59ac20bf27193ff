// The worker thread's loop: it waits for a search to be handed over, carries
// it out (brain_turn.h), runs the jobs that waited for its end and reports
// itself idle again.
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

void Worker::start_search(SearchRequest request) {
    request_ = std::move(request);
    {
        std::lock_guard lock(jobs_mutex_);
        searching_ = true;
    }
    done_event_.clear();
    start_event_.set();
}

void Worker::when_idle(std::function<void()> job) {
    {
        std::lock_guard lock(jobs_mutex_);
        if (searching_) {
            jobs_.push_back(std::move(job));
            return;
        }
    }
    job();
}

void Worker::run_jobs() {
    for (;;) {
        std::vector<std::function<void()>> jobs;
        {
            std::lock_guard lock(jobs_mutex_);
            if (jobs_.empty()) {
                searching_ = false;
                return;
            }
            jobs.swap(jobs_);
        }
        for (auto& job : jobs) job();
    }
}

void Worker::worker_loop() {
    for (;;) {
        start_event_.wait();
        if (stopping_) return;
        run_search(request_);
        run_jobs();
        done_event_.set();
    }
}

}  // namespace vantrel
