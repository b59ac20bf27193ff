// A stone block as the game's position (see stone_block.h).
#include "protocol/stone_block.h"

namespace vantrel {

bool board_within(const Game& game, const StoneBlock& block) {
    const Engine& e = *game.engine;
    for (int i = 0; i < e.move_count; ++i) {
        const int x = e.history[i].x, y = e.history[i].y;
        const int owner = e.cell(x, y).state == game.brain_side ? OWN_STONE : OPPONENT_STONE;
        if (block.mark[x - MARGIN][y - MARGIN] != owner) return false;
    }
    return true;
}

bool add_missing_stones(Game& game, const StoneBlock& block) {
    std::vector<StoneBlock::Stone> own, opponent;
    for (const StoneBlock::Stone& s : block.stones)
        if (game.is_free({s.x, s.y})) (s.who == OWN_STONE ? own : opponent).push_back(s);
    const Engine& e = *game.engine;
    const bool brain_first = e.move_count == 0 ? own.size() == opponent.size() : e.side == game.brain_side;
    if (opponent.size() != own.size() + (brain_first ? 0 : 1)) return false;
    const std::vector<StoneBlock::Stone>& first = brain_first ? own : opponent;
    const std::vector<StoneBlock::Stone>& second = brain_first ? opponent : own;
    for (std::size_t i = 0; i < first.size(); ++i) {
        game.place_stone({first[i].x, first[i].y});
        if (i < second.size()) game.place_stone({second[i].x, second[i].y});
    }
    return true;
}

}  // namespace vantrel
