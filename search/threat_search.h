// The threat-sequence search: the outcome check made deeper by trying every
// move that makes a four, with the threat table remembering decided
// positions and a node budget bounding the work.
#pragma once

#include "board/engine_object.h"

namespace vantrel {

inline constexpr int THREAT_BUDGET = 500000;  // nodes per iteration

// The outcome of the position for the side to move; unchanged on return.
int threat_search(Engine& e);

}  // namespace vantrel
