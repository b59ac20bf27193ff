// Test helper: random renju positions for comparing black's forbidden points
// with the referee's. They are built by legal play, so black has no foul on
// the board and nobody has won; black is steered towards threes and fours,
// and white mostly away from black's lines, so that the positions hold many
// forbidden points, some of which only the recursion for threes decides.
#pragma once

#include <cstdint>
#include <vector>

#include "support/rule_referee.h"

namespace vantrel::testing {

// `count` positions on a size x size board (5..32), the same for the same
// seed on every platform. Their stone counts vary; either side may be to
// move.
std::vector<RefereeBoard> random_renju_positions(std::uint64_t seed, int count, int size);

}  // namespace vantrel::testing
