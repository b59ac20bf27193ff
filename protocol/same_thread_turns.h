// The front end without a thread of its own: every search is carried out at
// once on the thread that handed it over, inside the command that asked for
// it. The browser build runs the brain this way in its Web Worker (threads
// are not to be had there); tests and the fuzzer use it for searches they
// can predict. Commands cannot arrive while such a search runs, since the
// caller is busy with it; a stop flag set from outside (the interpreter's
// stop_request) still ends it at the next clock check.
#pragma once

#include "protocol/brain_turn.h"
#include "protocol/command_interpreter.h"

namespace vantrel {

class SameThreadTurns final : public TurnThread {
public:
    explicit SameThreadTurns(CommandInterpreter& front) : front_(front) { front_.attach(this); }
    ~SameThreadTurns() override { front_.attach(nullptr); }

    void wait_worker() override {}
    void start_search(SearchRequest request) override { run_search(request); }
    void when_idle(std::function<void()> job) override { job(); }

private:
    CommandInterpreter& front_;
};

}  // namespace vantrel
