// Balance and defence: root moves (or move pairs) listed, scored by
// score_sequences iteration after iteration, and the answer chosen from the
// deepest finished iteration's steady scores.
#include "protocol/analysis_searches.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "protocol/brain_turn.h"
#include "protocol/reply_lines.h"
#include "search/candidates.h"
#include "search/fallback_move.h"
#include "search/root_scores.h"
#include "search/threat_search.h"

namespace vantrel {
namespace {

bool is_left_out(const DeepeningOptions& o, int x, int y) {
    return std::any_of(o.excluded.begin(), o.excluded.end(), [&](Point p) { return p.x == x && p.y == y; });
}

// The root moves the search would try, best first, without those left out:
// the candidates, else every cell near a stone, else the fallback point (the
// centre of an empty board). At most `limit`; never black's foul in renju.
std::vector<Point> root_moves(Engine& e, const DeepeningOptions& o, bool near_cells, int limit) {
    CandidateList list;
    if (!near_cells) {
        generate_candidates(e, list);
        sort_candidates(list);
    }
    if (list.count == 0) list_near_cells(e, list);
    std::vector<Point> moves;
    for (int i = 0; i < list.count && static_cast<int>(moves.size()) < limit; ++i)
        if (!is_left_out(o, list.entries[i].x, list.entries[i].y))
            moves.push_back(
                Point{static_cast<std::uint8_t>(list.entries[i].x), static_cast<std::uint8_t>(list.entries[i].y)});
    if (moves.empty()) {
        const Point p = fallback_move(e);
        if (p.x != 0) moves.push_back(p);
    }
    return moves;
}

BoardPoint protocol_point(Point p) { return {p.x - MARGIN, p.y - MARGIN}; }

// The search info line of a scoring iteration: the chosen sequence as its line.
void report(const SearchRequest& r, const Engine& e, int depth, const ScoredSequence& chosen) {
    std::int32_t pv[2];
    for (int m = 0; m < chosen.count; ++m) pv[m] = pv_move(chosen.moves[m].x, chosen.moves[m].y);
    IterationReport it{depth, chosen.score, e.node_count, clock_ms(e) - r.started_ms, pv, chosen.count};
    r.reply(search_info_line(it));
    if (r.analysis_lines) r.reply(realtime_line(Realtime::Best, protocol_point(chosen.moves[0])));
}

}  // namespace

void answer_balance(const SearchRequest& r) {
    Engine& e = *r.game->engine;
    const DeepeningOptions options = apply_limits(r);
    std::vector<ScoredSequence> sequences;
    if (r.kind == SearchKind::BalanceOne) {
        for (const Point m : root_moves(e, options, false, MAX_CANDIDATES)) sequences.push_back({{m, {}}, 1});
    } else {
        for (const Point m : root_moves(e, options, false, BALANCE_TWO_MOVES)) {
            e.make(m.x, m.y);
            for (const Point reply : root_moves(e, options, false, BALANCE_TWO_MOVES))
                sequences.push_back({{m, reply}, 2});
            e.undo();
        }
    }
    const auto closest = [&] {
        return std::min_element(sequences.begin(), sequences.end(), [&](const auto& a, const auto& b) {
            return std::abs(steady_score(a) - r.target) < std::abs(steady_score(b) - r.target);
        });
    };
    score_sequences(e, sequences, options, [&](int depth) { report(r, e, depth, *closest()); });
    std::vector<BoardPoint> answer;
    if (!sequences.empty()) {
        const ScoredSequence& chosen = *closest();
        for (int m = 0; m < chosen.count; ++m) answer.push_back(protocol_point(chosen.moves[m]));
    } else {
        answer.push_back({-1, -1});
    }
    place_and_answer(r, answer);
}

void answer_defence(const SearchRequest& r) {
    Engine& e = *r.game->engine;
    const DeepeningOptions options = apply_limits(r);
    std::vector<ScoredSequence> sequences;
    std::vector<bool> named;
    // A move after which the opponent wins by fours is refuted before any
    // search, and stays last until the search scores it.
    start_clock(e, options, options.started_ms.value_or(clock_ms(e)));
    for (const Point m : root_moves(e, options, true, MAX_CANDIDATES)) {
        e.make(m.x, m.y);
        e.threat_budget = THREAT_BUDGET;
        const bool lost = threat_search(e) > 0;
        e.undo();
        if (lost) r.reply(realtime_line(Realtime::Lose, protocol_point(m)));
        const int score = lost ? -WIN_SCORE : 0;
        sequences.push_back({{m, {}}, 1, score, score});
        named.push_back(lost);
    }
    const auto best = [&] {
        return std::max_element(sequences.begin(), sequences.end(),
                                [](const auto& a, const auto& b) { return steady_score(a) < steady_score(b); });
    };
    score_sequences(e, sequences, options, [&](int depth) {
        for (std::size_t i = 0; i < sequences.size(); ++i)
            if (!named[i] && sequences[i].score <= -DECIDED_SCORE) {
                named[i] = true;
                r.reply(realtime_line(Realtime::Lose, protocol_point(sequences[i].moves[0])));
            }
        report(r, e, depth, *best());
    });
    BoardPoint answer{-1, -1};
    if (!sequences.empty()) answer = protocol_point(best()->moves[0]);
    place_and_answer(r, std::span(&answer, 1));
}

}  // namespace vantrel
