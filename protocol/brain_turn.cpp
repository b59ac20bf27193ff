// The brain's turn: the opening point, the turn budget, the search, and the
// checks that keep every answer a legal point.
#include "protocol/brain_turn.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "protocol/swap2_opening.h"
#include "search/pv_search.h"

namespace vantrel {
namespace {

// An empty cell in scan order; only for a chooser that failed to give one.
std::optional<BoardPoint> first_empty_point(const CommandInterpreter& front) {
    for (int y = 0; y < front.board_height; ++y)
        for (int x = 0; x < front.board_width; ++x)
            if (front.is_free({x, y})) return BoardPoint{x, y};
    return std::nullopt;
}

// The engine's settings for one search: the budget and the INFO limits.
void set_limits(CommandInterpreter& front, const TurnBudget& budget) {
    Engine& engine = *front.engine;
    engine.turn_time_ms = budget.turn_time_ms;
    const std::int32_t depth = front.info.max_depth.load();
    engine.max_depth = depth > 0 ? depth : NEW_GAME_MAX_DEPTH;
    const std::int32_t nodes = front.info.max_node.load();
    engine.node_limit = nodes > 0 ? nodes : std::numeric_limits<std::int32_t>::max();
    engine.stop_request = &front.stop_request;
}

void append_point(std::string& text, std::int32_t packed) {
    text += std::to_string(pv_move_x(packed) - MARGIN);
    text += ',';
    text += std::to_string(pv_move_y(packed) - MARGIN);
}

}  // namespace

TurnBudget budget_turn(CommandInterpreter& front) {
    std::int32_t remembered = front.info.timeout_turn.load();
    const TurnBudget budget = turn_budget(
        {front.move_number, remembered, front.info.manager_timeout_turn.load(), front.info.time_left.load()});
    // An INFO timeout_turn that came in since the read above wins over the
    // budget's write-back; it counts from the next turn on.
    if (budget.remember) front.info.timeout_turn.compare_exchange_strong(remembered, budget.remembered);
    return budget;
}

std::string search_info_line(const IterationReport& it) {
    const std::int64_t nps = it.nodes * 1000 / std::max<std::int64_t>(it.elapsed_ms, 1);
    std::string text = "MESSAGE depth " + std::to_string(it.depth) + " score " + std::to_string(it.score) + " nodes " +
                       std::to_string(it.nodes) + " nps " + std::to_string(nps) + " time " +
                       std::to_string(it.elapsed_ms) + " pv";
    for (int i = 0; i < it.pv_length; ++i) {
        text += ' ';
        append_point(text, it.pv[i]);
    }
    return text;
}

DeepeningReport run_search(CommandInterpreter& front, const TurnBudget& budget, std::int64_t started_ms,
                           bool messages) {
    set_limits(front, budget);
    DeepeningOptions options;
    options.stop_margin_ms = budget.stop_margin_ms;
    options.started_ms = started_ms;
    if (messages) options.on_iteration = [&front](const IterationReport& it) { front.reply(search_info_line(it)); };
    return iterative_deepening_report(*front.engine, options);
}

DeepeningReport search_turn(CommandInterpreter& front, std::int64_t started_ms) {
    return run_search(front, budget_turn(front), started_ms);
}

void play_turn(CommandInterpreter& front, std::int64_t started_ms) {
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

    BoardPoint p;
    if (front.choose_move) {
        set_limits(front, budget_turn(front));
        p = front.choose_move(engine);
    } else {
        p = search_turn(front, started_ms).move;
    }
    if (!front.is_free(p)) p = *first_empty_point(front);
    front.play_and_answer(p.x, p.y);
}

}  // namespace vantrel
