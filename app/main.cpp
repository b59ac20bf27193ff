// Entry point of pbrain-vantrel: the command interpreter on the main thread,
// the worker thread for the brain's turns, standard input and output as the
// manager's pipes. The exit status is 0; the options for people, and the
// status of a refused argument, are in command_line.h.
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "app/command_line.h"
#include "app/standard_streams.h"
#include "protocol/command_interpreter.h"
#include "protocol/worker.h"

namespace {
// At the end of input, how long a reply that the worker is writing may take
// to complete before the process ends anyway.
constexpr std::chrono::milliseconds LAST_REPLY_WAIT{100};
}  // namespace

int main(int argc, char** argv) {
    vantrel::prepare_standard_streams();
    if (const auto status = vantrel::handle_command_line(argc, argv, std::cout, std::cerr)) return *status;
    std::ios::sync_with_stdio(false);
    // Reading must not flush standard output from the main thread while the
    // worker may be writing its move.
    std::cin.tie(nullptr);

    vantrel::CommandInterpreter front(std::cin, std::cout);
    vantrel::Worker worker(front);
    if (front.run() == vantrel::Flow::EndOfInput && worker.turn_running()) {
        // At once, without waiting for the running turn, whose move is never
        // written; every reply so far has been flushed whole.
        front.stop_replies(LAST_REPLY_WAIT);
        std::_Exit(0);
    }
    // END, or the end of input between turns: the idle worker is ended and
    // joined as the process ends. Ending a process while another of its
    // threads still lives is what 32-bit Wine sometimes crashes on, after
    // the last reply; a joined worker keeps that to a turn cut off by the end
    // of input.
    return 0;
}
