// A block of stone lines "x,y,who" (BOARD, yxboard): the stones as listed
// and each point's mark, and how such a block becomes the game's position
// while keeping the stones already on the board where it can, so that the
// transposition tables keep what earlier searches learnt (a manager that
// sends the whole game before every move).
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/game.h"

namespace vantrel {

// Marks of a stone line: the side to move's stone, the other side's.
inline constexpr int OWN_STONE = 1;
inline constexpr int OPPONENT_STONE = 2;

struct StoneBlock {
    struct Stone {
        int x, y, who;
    };
    std::vector<Stone> stones;
    std::uint8_t mark[MAX_BOARD_SIZE][MAX_BOARD_SIZE] = {};  // 0: not listed
};

// Whether every stone on the game's board is in the block with the owner the
// block gives it (the brain's stones marked OWN_STONE).
bool board_within(const Game& game, const StoneBlock& block);

// Places the block's stones that are not on the board, alternating from the
// side to move and ending with the brain to move, each mark's stones in their
// listed order; false, with nothing placed, when the counts do not allow it.
// On an empty board the counts decide who moved first: the opponent when it
// has one stone more, otherwise the brain.
bool add_missing_stones(Game& game, const StoneBlock& block);

}  // namespace vantrel
