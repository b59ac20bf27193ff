// Scoring every root move (or two-move sequence) with the full window, one
// depth at a time: each sequence is made, the position after it searched by
// pv_search below the root, and taken back.
#include "search/root_scores.h"

#include "search/pv_search.h"
#include "search/threat_search.h"

namespace vantrel {

int steady_score(const ScoredSequence& s) {
    if (is_decided(s.score) || is_decided(s.previous)) return s.score;
    return (s.score + s.previous) / 2;
}

int score_sequences(Engine& e, std::span<ScoredSequence> sequences, const DeepeningOptions& options,
                    const std::function<void(int depth)>& on_iteration) {
    start_clock(e, options, options.started_ms.value_or(clock_ms(e)));
    clock_check(e);
    std::vector<int> scores(sequences.size());
    int finished = 0;
    const int last = std::min(e.max_depth, MAX_SEARCH_DEPTH);
    for (int depth = std::min(FIRST_DEPTH, last); depth <= last && !e.time_up; ++depth) {
        for (std::size_t i = 0; i < sequences.size() && !e.time_up; ++i) {
            const ScoredSequence& s = sequences[i];
            for (int m = 0; m < s.count; ++m) e.make(s.moves[m].x, s.moves[m].y);
            // Each sequence is a search of its own: its own threat budget,
            // no line to follow.
            e.follow_pv = false;
            e.threat_budget = THREAT_BUDGET;
            const int v = pv_search(e, depth - s.count, false, -ROOT_WINDOW, ROOT_WINDOW);
            for (int m = 0; m < s.count; ++m) e.undo();
            // After one move the score is the opponent's; after two, the root
            // side's own again.
            scores[i] = s.count % 2 == 1 ? -v : v;
        }
        if (e.time_up) break;
        for (std::size_t i = 0; i < sequences.size(); ++i) {
            ScoredSequence& s = sequences[i];
            s.previous = finished == 0 ? scores[i] : s.score;
            s.score = scores[i];
        }
        finished = depth;
        if (on_iteration) on_iteration(depth);
    }
    e.hash.clear_bounds();
    return finished;
}

}  // namespace vantrel
