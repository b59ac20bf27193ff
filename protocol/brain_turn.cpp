// Carrying out a search request: the opening point, the limits, the search
// of the kind asked for, and the checks that keep every answer a legal point.
#include "protocol/brain_turn.h"

#include <algorithm>
#include <string>

#include "protocol/analysis_searches.h"
#include "protocol/reply_lines.h"
#include "protocol/swap2_opening.h"

namespace vantrel {
namespace {

bool left_out(const SearchRequest& r, BoardPoint p) {
    return std::any_of(r.excluded.begin(), r.excluded.end(), [&](BoardPoint b) { return b.x == p.x && b.y == p.y; });
}

// An empty cell in scan order, one not left out when there is one; only for
// an answer that failed to give a legal point.
BoardPoint first_free_point(const SearchRequest& r) {
    const Game& g = *r.game;
    BoardPoint any{-1, -1};
    for (int y = 0; y < g.board_height; ++y)
        for (int x = 0; x < g.board_width; ++x)
            if (g.is_free({x, y})) {
                if (!left_out(r, {x, y})) return {x, y};
                if (any.x < 0) any = {x, y};
            }
    return any;
}

// The brain's move: the chooser of a test, or iterative deepening with as
// many lines as asked.
void search_turn(const SearchRequest& r) {
    Engine& e = *r.game->engine;
    DeepeningOptions options = apply_limits(r);
    BoardPoint p;
    if (r.chooser && r.lines == 1) {
        p = (*r.chooser)(e);
    } else {
        options.lines = std::clamp(r.lines, 1, MAX_PV_LINES);
        AnalysisReport report(r.reply, [&e, started = r.started_ms] { return clock_ms(e) - started; });
        report_iterations(r, options, &report);
        p = iterative_deepening_report(e, options).move;
    }
    place_and_answer(r, std::span(&p, 1));
}

}  // namespace

TurnBudget budget_turn(InfoSettings& info, std::int32_t move_number) {
    std::int32_t remembered = info.timeout_turn.load();
    const TurnBudget budget =
        turn_budget({move_number, remembered, info.manager_timeout_turn.load(), info.time_left.load()});
    // An INFO timeout_turn that came in since the read above wins over the
    // budget's write-back; it counts from the next turn on.
    if (budget.remember) info.timeout_turn.compare_exchange_strong(remembered, budget.remembered);
    return budget;
}

DeepeningOptions apply_limits(const SearchRequest& r) {
    Engine& e = *r.game->engine;
    e.turn_time_ms = r.budget.turn_time_ms;
    e.max_depth = r.max_depth;
    e.node_limit = r.node_limit;
    e.stop_request = r.stop;
    DeepeningOptions options;
    options.stop_margin_ms = r.budget.stop_margin_ms;
    options.started_ms = r.started_ms;
    options.until_stopped = r.until_stopped;
    for (const BoardPoint& p : r.excluded)
        if (r.game->on_board(p))
            options.excluded.push_back(
                Point{static_cast<std::uint8_t>(p.x + MARGIN), static_cast<std::uint8_t>(p.y + MARGIN)});
    return options;
}

void report_iterations(const SearchRequest& r, DeepeningOptions& options, AnalysisReport* report) {
    options.on_iteration = [&r, report](const IterationReport& it) {
        r.reply(search_info_line(it));
        if (r.analysis_lines) report->iteration(it);
    };
    if (r.analysis_lines)
        options.on_root_move = [report](Point move, bool searched) { report->root_move(move, searched); };
}

void place_and_answer(const SearchRequest& r, std::span<const BoardPoint> points) {
    std::string text;
    for (BoardPoint p : points) {
        if (!r.game->is_free(p) || left_out(r, p)) p = first_free_point(r);
        if (p.x < 0) break;
        r.game->place_stone(p);
        if (!text.empty()) text += ' ';
        text += point_text(p);
    }
    r.reply(text);
}

void run_search(const SearchRequest& r) {
    Game& g = *r.game;
    if (r.kind == SearchKind::Swap2) {
        answer_swap2(r);
        return;
    }
    if (r.kind == SearchKind::Turn && g.move_number() == 1) {
        // The opening needs no search: the centre of the board.
        const BoardPoint centre{g.board_width / 2, g.board_height / 2};
        place_and_answer(r, std::span(&centre, 1));
        return;
    }
    if (g.engine->move_count >= g.board_width * g.board_height) {
        r.reply(FULL_BOARD_REPLY);
        return;
    }
    switch (r.kind) {
        case SearchKind::Turn:
            search_turn(r);
            break;
        case SearchKind::BalanceOne:
        case SearchKind::BalanceTwo:
            answer_balance(r);
            break;
        case SearchKind::Defend:
            answer_defence(r);
            break;
        case SearchKind::Swap2:
            break;
    }
}

}  // namespace vantrel
