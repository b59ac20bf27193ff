// The front end without a thread of its own: every turn is played at once
// on the thread that handed it over, inside the command that asked for it.
// The browser build runs the brain this way in its Web Worker (threads are
// not to be had there); tests and the fuzzer use it for turns they can
// predict. A stop request cannot arrive while such a turn runs: the caller
// is busy playing it.
#pragma once

#include "protocol/brain_turn.h"
#include "protocol/command_interpreter.h"

namespace vantrel {

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
