// The move to play when a search recorded none: the deadline came before the
// first root move was searched to the end, or the root had nothing to search.
// Shared by iterative deepening and think, so that neither can hand the front
// end a point outside the board or on a stone.
#pragma once

#include "board/engine_object.h"

namespace vantrel {

// Whether (x, y), engine coordinates, is an empty cell of the playing area.
bool playable_empty(const Engine& e, int x, int y);

// The first candidate in the order the search would try them (candidates by
// priority, or the cells next to a stone when there are none), else the
// empty cell nearest the centre point (width / 2, height / 2), ties in scan
// order; never black's foul in renju while black has another point. Engine
// coordinates; (0, 0) only when the board is full.
Point fallback_move(Engine& e);

}  // namespace vantrel
