// The worker thread's loop and the brain's turn: the opening point, the turn
// budget, the search, and the checks that keep every answer a legal point.
#include "protocol/worker.h"

#include "protocol/swap2_opening.h"
#include "protocol/turn_budget.h"

namespace vantrel {
namespace {

// An empty cell in scan order; only for a chooser that failed to give one.
std::optional<BoardPoint> first_empty_point(const CommandInterpreter& front) {
    for (int y = 0; y < front.board_height; ++y)
        for (int x = 0; x < front.board_width; ++x)
            if (front.is_free({x, y})) return BoardPoint{x, y};
    return std::nullopt;
}

}  // namespace

void play_turn(CommandInterpreter& front) {
    if (front.swap2_pending) {
        answer_swap2(front);
        return;
    }
    Engine& engine = *front.engine;
    if (front.move_number == 1) {
        // The opening needs no search: the centre of the board.
        front.play_and_answer(front.board_width / 2, front.board_height / 2);
        return;
    }
    if (engine.move_count >= front.board_width * front.board_height) {
        front.reply(FULL_BOARD_REPLY);
        return;
    }

    std::int32_t remembered = front.info.timeout_turn.load();
    const TurnBudget budget = turn_budget(
        {front.move_number, remembered, front.info.manager_timeout_turn.load(), front.info.time_left.load()});
    // An INFO timeout_turn that came in since the read above wins over the
    // budget's write-back; it counts from the next turn on.
    if (budget.remember) front.info.timeout_turn.compare_exchange_strong(remembered, budget.remembered);
    engine.turn_time_ms = budget.turn_time_ms;

    BoardPoint p = front.choose_move(engine);
    if (!front.is_free(p)) p = *first_empty_point(front);
    front.play_and_answer(p.x, p.y);
}

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
    done_event_.clear();
    start_event_.set();
}

void Worker::worker_loop() {
    for (;;) {
        start_event_.wait();
        if (stopping_) return;
        play_turn(front_);
        done_event_.set();
    }
}

}  // namespace vantrel
