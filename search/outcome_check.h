// The outcome check: whether the side to move can force five, or will be
// forced to lose, within a few plies, read off the status counts and played
// out only along the one or few cells that matter.
#pragma once

#include "board/engine_object.h"

namespace vantrel {

// +n: the side to move makes five on ply n (odd); -n: it loses on ply n
// (even); 0: nothing forced found. The position is unchanged on return.
int outcome_check(Engine& e);

// The outcome of a position for the side to move there, from the outcome
// of the position after its move (for the other side), one ply further on.
inline int one_ply_on(int after) { return after > 0 ? -(after + 1) : after < 0 ? 1 - after : 0; }

// The better of two outcomes for the side that chooses between them: the
// quickest win, else nothing found, else the slowest loss.
inline int better_outcome(int a, int b) {
    if ((a > 0) != (b > 0)) return a > 0 ? a : b;
    if (a > 0) return a < b ? a : b;
    if ((a == 0) != (b == 0)) return a == 0 ? a : b;
    return a < b ? a : b;
}

}  // namespace vantrel
