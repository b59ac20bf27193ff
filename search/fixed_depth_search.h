// The fixed-depth search behind the engine's think operation: a plain
// fail-hard alpha-beta search to a depth the caller gives, sharing the
// candidates, outcome check, evaluation and PV table with the main search.
#pragma once

#include "board/engine_object.h"

namespace vantrel {

struct FixedResult {
    Point move;  // engine coordinates, (0, 0) when there is none
    int value;
};

FixedResult fixed_depth_search(Engine& e, int depth, bool root, int alpha, int beta);

}  // namespace vantrel
