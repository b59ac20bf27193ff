// The replies to the opponent's five points. In free-style, standard and
// renju only a stone on the one five point stops it (two cannot both be
// stopped). In caro a five blocked at both ends does not win, so a stone
// just past one end of the five to be, when the other end is already the
// defender's, stops it too, and one such stone may stop two five points at
// once. In renju black cannot take a point that is its foul.
#pragma once

#include "board/engine_object.h"

namespace vantrel {

// Whether the rule lets a five be stopped other than on its point.
inline bool caro_rule(const Engine& e) { return e.rule == Rule::Caro || e.rule == Rule::CaroExact; }

inline constexpr int MAX_FIVE_DEFENCES = 16;

// The side to move's moves after which the opponent has no five point, in
// scan order, at most MAX_FIVE_DEFENCES; returns how many. Only for a caro
// game whose opponent has a five point. The position is unchanged on return.
int caro_five_defences(Engine& e, Point (&out)[MAX_FIVE_DEFENCES]);

}  // namespace vantrel
