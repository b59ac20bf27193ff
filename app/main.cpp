// Entry point of pbrain-vantrel: the command interpreter on the main thread,
// the worker thread for the brain's turns, standard input and output as the
// manager's pipes. The exit status is always 0.
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "app/standard_streams.h"
#include "protocol/command_interpreter.h"
#include "protocol/worker.h"

namespace {
// At the end of input, how long a reply that the worker is writing may take
// to complete before the process ends anyway.
constexpr std::chrono::milliseconds LAST_REPLY_WAIT{100};
}  // namespace

int main() {
    vantrel::prepare_standard_streams();
    std::ios::sync_with_stdio(false);
    // Reading must not flush standard output from the main thread while the
    // worker may be writing its move.
    std::cin.tie(nullptr);

    vantrel::CommandInterpreter front(std::cin, std::cout);
    vantrel::Worker worker(front);
    if (front.run() == vantrel::Flow::EndOfInput) {
        // At once, without waiting for a running turn, whose move is never
        // written; every reply so far has been flushed whole.
        front.stop_replies(LAST_REPLY_WAIT);
        std::_Exit(0);
    }
    return 0;
}
