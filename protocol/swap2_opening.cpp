// The Swap2 decisions. Three or five stones: one search of the position,
// and a second one a depth apart for the mean score; the colour or the
// stones follow from that score and the search's main line. No stones: the
// 26 classic three-stone openings (black in the centre, white beside it
// straight or diagonally, black's second stone within two points, mirror
// images left out) are searched in rounds one depth deeper each, the more
// even half going on to the next round, until the budget runs out; the most
// even opening of the deepest round wins.
#include "protocol/swap2_opening.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "protocol/turn_budget.h"
#include "search/fallback_move.h"
#include "search/iterative_deepening.h"
#include "search/pv_search.h"

namespace vantrel {
namespace {

// The budget of the opening decision, by the rules of the brain's turn (the
// request's budget is that of the next stone, as for a turn; an empty board
// budgets like the first searched move).
std::int32_t swap2_budget_ms(const TurnBudget& budget) {
    // The decision below keeps STOP_MARGIN_MS back, as the design's turns
    // do; a budget that a manager's limit decides carries its own, smaller
    // reserve instead.
    return budget.turn_time_ms - budget.stop_margin_ms + STOP_MARGIN_MS;
}

// One finished search: its depth, its score for the side to move, its move
// and the reply in its main line (protocol coordinates, (-1, -1) for none).
struct Searched {
    int depth = 0;
    int score = 0;
    BoardPoint move, reply;
};

// iterative_deepening up to `depth` (the engine's own limit when 0), ending
// by `deadline` (clock_ms). Leaves e.max_depth as it found it.
Searched search_until(Engine& e, int depth, std::int64_t deadline) {
    const int max_depth = e.max_depth;
    if (depth > 0) e.max_depth = depth;
    // The search stops STOP_MARGIN_MS before the end of its turn time.
    e.turn_time_ms = static_cast<std::int32_t>(std::max<std::int64_t>(deadline - clock_ms(e) + STOP_MARGIN_MS, 1));
    const DeepeningReport report = iterative_deepening_report(e);
    e.max_depth = max_depth;
    Searched s{report.depth, report.score, report.move, {}};
    if (e.pv_table.pv_length[0] >= 2) {
        const std::int32_t m = e.pv_table.pv[0][1];
        const int x = pv_move_x(m), y = pv_move_y(m);
        if (playable_empty(e, x, y) && (x - MARGIN != s.move.x || y - MARGIN != s.move.y))
            s.reply = {x - MARGIN, y - MARGIN};
    }
    return s;
}

// The mean of the scores at `depth` and `depth` + 1, or none when the
// deadline cut either search short.
std::optional<int> mean_score(Engine& e, int depth, std::int64_t deadline) {
    const Searched a = search_until(e, depth, deadline);
    if (a.depth != depth) return std::nullopt;
    const Searched b = search_until(e, depth + 1, deadline);
    if (b.depth != depth + 1) return std::nullopt;
    return (a.score + b.score) / 2;
}

bool on_board(const Engine& e, BoardPoint p) {
    return p.x >= 0 && p.x < e.board_width && p.y >= 0 && p.y < e.board_height;
}

// Black's answer to white's `move` when the main line stops short of it
// (a table hit or a decided threat below the root): the move the search
// table keeps for that position, else a search of it in the time left.
BoardPoint best_reply(Engine& e, BoardPoint move, std::int64_t deadline) {
    e.move(move.x, move.y);
    int x = 0, y = 0;
    BoardPoint reply = e.hash.stored_move(x, y) && playable_empty(e, x, y) ? BoardPoint{x - MARGIN, y - MARGIN}
                                                                           : search_until(e, 0, deadline).move;
    e.undo();
    return reply;
}

// Three or five stones: the position is searched with white to move.
Swap2Decision choose(Engine& e, std::int64_t start, std::int32_t budget_ms) {
    const std::int64_t end = start + budget_ms - STOP_MARGIN_MS;
    const Searched main = search_until(e, 0, start + (end - start) * SWAP2_MAIN_SEARCH_PERCENT / 100);
    int score = main.score;
    // The second score one depth apart: below when that is still a depth the
    // search runs, otherwise above, within the engine's depth limit.
    const int other = main.depth > FIRST_DEPTH ? main.depth - 1 : main.depth + 1;
    if (main.depth > 0 && (other < main.depth || other <= e.max_depth)) {
        const Searched second = search_until(e, other, end);
        if (second.depth == other) score = (main.score + second.score) / 2;
    }

    Swap2Decision d;
    const bool five = e.move_count == SWAP2_LAST_CHOICE;
    const bool white_better = score >= (five ? SWAP2_STAY_WHITE_FROM : SWAP2_CLEAR_EDGE);
    const bool black_better = five ? !white_better : score <= -SWAP2_CLEAR_EDGE;
    if (black_better) {
        d.swap = true;
    } else if (!white_better && on_board(e, main.move)) {
        d.count = 2;
        d.points[0] = main.move;
        d.points[1] = main.reply.x >= 0 ? main.reply : best_reply(e, main.move, end);
    } else {
        d.count = 1;
        d.points[0] = main.move;
    }
    return d;
}

struct Opening {
    BoardPoint white, black;  // offsets from the centre, where black opened
    int score = 0;
};

// The 26 classic openings: white straight above the centre, black's second
// stone with dx >= 0 (the mirror x -> -x keeps the first two stones); white
// diagonally, black's second stone with dx + dy <= 0 (the mirror across the
// diagonal through both first stones keeps them).
int classic_openings(Opening (&out)[26]) {
    int n = 0;
    for (const BoardPoint white : {BoardPoint{0, -1}, BoardPoint{1, -1}})
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy) {
                const bool centre = dx == 0 && dy == 0, on_white = dx == white.x && dy == white.y;
                const bool kept = white.x == 0 ? dx >= 0 : dx + dy <= 0;
                if (!centre && !on_white && kept) out[n++] = {white, {dx, dy}};
            }
    return n;
}

// No stones: the most even opening the search can find in time.
Swap2Decision propose(Engine& e, std::int64_t start, std::int32_t budget_ms) {
    const std::int64_t end = start + budget_ms - STOP_MARGIN_MS;
    const BoardPoint c{e.board_width / 2, e.board_height / 2};
    Opening openings[26];
    int alive = classic_openings(openings);
    int best = 0;
    const int deepest = std::max(e.max_depth, FIRST_DEPTH + 1) - 1;
    for (int depth = FIRST_DEPTH; depth <= deepest && alive > 1; ++depth) {
        // The last round's order: the most even openings are searched first,
        // so a round cut short by the clock still ranks the best of them.
        int searched = 0;
        for (; searched < alive; ++searched) {
            Opening& o = openings[searched];
            e.move(c.x, c.y);
            e.move(c.x + o.white.x, c.y + o.white.y);
            e.move(c.x + o.black.x, c.y + o.black.y);
            const std::optional<int> score = mean_score(e, depth, end);
            for (int i = 0; i < 3; ++i) e.undo();
            if (!score) break;
            o.score = *score;
        }
        if (searched == 0) break;
        std::stable_sort(openings, openings + searched,
                         [](const Opening& a, const Opening& b) { return std::abs(a.score) < std::abs(b.score); });
        best = 0;
        if (searched < alive) break;
        alive = (alive + 1) / 2;
    }
    const Opening& o = openings[best];
    Swap2Decision d;
    d.count = 3;
    d.points[0] = c;
    d.points[1] = {c.x + o.white.x, c.y + o.white.y};
    d.points[2] = {c.x + o.black.x, c.y + o.black.y};
    return d;
}

}  // namespace

bool is_swap2_request(std::size_t stones) {
    return stones == SWAP2_PROPOSE || stones == SWAP2_CHOOSE || stones == SWAP2_LAST_CHOICE;
}

Swap2Decision decide_swap2(Engine& e, std::int32_t budget_ms) {
    const std::int64_t start = clock_ms(e);
    Swap2Decision d = e.move_count == SWAP2_PROPOSE ? propose(e, start, budget_ms) : choose(e, start, budget_ms);
    // The search answers a free point whenever the board has one; a board
    // too small for the 4th and 5th stones gets none.
    for (int i = 0; i < d.count; ++i)
        if (!on_board(e, d.points[i])) d.count = i;
    if (!d.swap && d.count == 0) d.swap = true;
    return d;
}

std::string swap2_reply(const Swap2Decision& decision) {
    if (decision.swap) return "SWAP";
    std::string text;
    for (int i = 0; i < decision.count; ++i) {
        if (i > 0) text += ' ';
        text += std::to_string(decision.points[i].x) + ',' + std::to_string(decision.points[i].y);
    }
    return text;
}

void answer_swap2(const SearchRequest& r) {
    Game& g = *r.game;
    Engine& e = *g.engine;
    e.max_depth = r.max_depth;
    e.node_limit = r.node_limit;
    e.stop_request = r.stop;
    const Swap2Decision d = decide_swap2(e, swap2_budget_ms(r.budget));
    for (int i = 0; i < d.count; ++i) g.place_stone(d.points[i]);
    // The colour the answer took, or white when the opponent still chooses:
    // then a following BOARD that keeps these stones extends them.
    g.brain_side = d.swap ? BLACK_SIDE : WHITE_SIDE;
    r.reply(swap2_reply(d));
}

}  // namespace vantrel
