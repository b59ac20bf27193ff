// The replies to the opponent's five points. In free-style, standard and
// renju only a stone on the one five point stops it (two cannot both be
// stopped). In caro a five blocked at both ends does not win, so a stone
// just past one end of the five to be, when the other end is already the
// defender's, stops it too, and one such stone may stop two five points at
// once. In renju black cannot take a point that is its foul.
#pragma once

#include "board/engine_object.h"
#include "search/outcome_check.h"

namespace vantrel {

// Whether the rule lets a five be stopped other than on its point.
inline bool caro_rule(const Engine& e) { return e.rule == Rule::Caro || e.rule == Rule::CaroExact; }

inline constexpr int MAX_FIVE_DEFENCES = 16;

// The side to move's moves after which the opponent has no five point, in
// scan order, at most MAX_FIVE_DEFENCES; returns how many. Only for a caro
// game whose opponent has a five point. The position is unchanged on return.
int caro_five_defences(Engine& e, Point (&out)[MAX_FIVE_DEFENCES]);

// The best outcome (outcome_check.h) among caro's replies to the opponent's
// five points, each reply's own outcome given by `after` on the position it
// leaves; -2 when no reply stops them. Stops when the search's time is up,
// and then its answer means nothing.
template <class After>
int best_caro_defence(Engine& e, After after) {
    Point defences[MAX_FIVE_DEFENCES];
    const int n = caro_five_defences(e, defences);
    int best = -2;
    for (int i = 0; i < n && !e.time_up; ++i) {
        e.make(defences[i].x, defences[i].y);
        const int outcome = after(e);
        e.undo();
        best = better_outcome(best, one_ply_on(outcome));
    }
    return best;
}

}  // namespace vantrel
