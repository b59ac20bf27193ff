// The outcome check: whether the side to move can force five, or will be
// forced to lose, within a few plies, read off the status counts and played
// out only along the one or few cells that matter.
#pragma once

#include "board/engine_object.h"

namespace vantrel {

// +n: the side to move makes five on ply n (odd); -n: it loses on ply n
// (even); 0: nothing forced found. The position is unchanged on return.
int outcome_check(Engine& e);

}  // namespace vantrel
