// Exact scores of chosen root moves, or of two-move sequences, each searched
// with the full window and deepened under the clock like a turn: what the
// balance and defence searches compare. The principal-variation search's
// root would stop at the first move's score; these need every move's own.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "board/engine_object.h"
#include "search/iterative_deepening.h"

namespace vantrel {

struct ScoredSequence {
    Point moves[2];  // engine coordinates, moves[0] for the side to move
    int count = 1;   // 1 or 2
    // Of the deepest iteration that scored every sequence, and of the one
    // before (equal to score after the first), for the side to move at the
    // root.
    int score = 0;
    int previous = 0;
};

// A sequence's score read steadily across iterations: an odd depth ends on
// the root side's move and an even one on the other's, which tilts a score
// either way; the mean of two consecutive depths compares fairly. A forced
// result stands as it is.
int steady_score(const ScoredSequence& s);

// Deepens from FIRST_DEPTH to max_depth under the clock of `options` (its
// deadline, the engine's node limit and stop request), scoring every
// sequence at each depth; an iteration the clock cuts short changes no
// score. `on_iteration` gets each finished depth. Answers the deepest
// finished depth, 0 when none finished. The position is unchanged.
int score_sequences(Engine& e, std::span<ScoredSequence> sequences, const DeepeningOptions& options,
                    const std::function<void(int depth)>& on_iteration = {});

}  // namespace vantrel
