// The random renju games behind random_renju_positions: each position is the
// board at the end of one short game from the centre, played on squares near
// the stones, black preferring moves that make threes or fours and white
// squares that do not touch black's stones.
#include "support/renju_positions.h"

#include <algorithm>
#include <initializer_list>

#include "support/random_positions.h"

namespace vantrel::testing {

namespace {

// Moves are drawn from the empty squares within this many squares (in both
// directions) of a stone, so the stones stay in one group and form lines.
constexpr int NEAR_DISTANCE = 2;
// The length of each game: at least this many stones, and at most a share of
// the board (more stones than this mostly block black's shapes).
constexpr int MIN_STONES = 16;
constexpr int MAX_STONES = 70;
constexpr int MAX_BOARD_SHARE_PERCENT = 40;
// How often black takes a move that makes a three or a four when it has one;
// the rest of its moves are uniform, so quiet shapes appear too.
constexpr int SHAPE_MOVE_PERCENT = 80;
// How often white keeps off the squares next to black's stones when it can,
// so that it blocks black's lines only now and then.
constexpr int WHITE_AWAY_PERCENT = 90;

// Whether a square within `distance` (in both directions) of (x, y) holds
// one of the given stones.
bool near(const RefereeBoard& board, int x, int y, int distance, std::initializer_list<Square> stones) {
    for (int dy = -distance; dy <= distance; ++dy) {
        for (int dx = -distance; dx <= distance; ++dx) {
            if (std::ranges::find(stones, board.at(x + dx, y + dy)) != stones.end()) return true;
        }
    }
    return false;
}

// The squares the side to move may take: empty, near a stone, neither a foul
// nor a win (a won position is of no use for comparing forbidden points).
// `preferred` lists those the side takes by choice when there are any:
// black's moves that make a three or a four, white's away from black.
void list_moves(const RefereeBoard& board, std::vector<Coord>& moves, std::vector<Coord>& preferred) {
    moves.clear();
    preferred.clear();
    const Square mover = board.side_to_move();
    for (int y = 0; y < board.height(); ++y) {
        for (int x = 0; x < board.width(); ++x) {
            if (board.at(x, y) != Square::Empty || !near(board, x, y, NEAR_DISTANCE, {Square::Black, Square::White}))
                continue;
            if (mover == Square::White) {
                if (outcome_after(board, x, y, mover, RuleGame::Renju) != MoveOutcome::GoesOn) continue;
                moves.push_back({x, y});
                if (!near(board, x, y, 1, {Square::Black})) preferred.push_back({x, y});
                continue;
            }
            const BlackShapes shapes = black_shapes(board, x, y);
            if (shapes.five || shapes.foul()) continue;
            moves.push_back({x, y});
            if (shapes.fours + shapes.threes > 0) preferred.push_back({x, y});
        }
    }
}

RefereeBoard random_game(TestRng& rng, int size) {
    RefereeBoard board(size, size);
    const int most = std::max(MIN_STONES, std::min(MAX_STONES, size * size * MAX_BOARD_SHARE_PERCENT / 100));
    const int stones = MIN_STONES + rng.below(most - MIN_STONES + 1);
    board.set(size / 2, size / 2, Square::Black);
    std::vector<Coord> moves;
    std::vector<Coord> preferred;
    while (board.stone_count() < stones) {
        list_moves(board, moves, preferred);
        if (moves.empty()) break;
        const int preference = board.side_to_move() == Square::Black ? SHAPE_MOVE_PERCENT : WHITE_AWAY_PERCENT;
        const bool by_choice = !preferred.empty() && rng.below(100) < preference;
        const std::vector<Coord>& pool = by_choice ? preferred : moves;
        const Coord move = pool[static_cast<std::size_t>(rng.below(static_cast<int>(pool.size())))];
        board.set(move.x, move.y, board.side_to_move());
    }
    return board;
}

}  // namespace

std::vector<RefereeBoard> random_renju_positions(std::uint64_t seed, int count, int size) {
    TestRng rng(seed);
    std::vector<RefereeBoard> positions;
    for (int i = 0; i < count; ++i) positions.push_back(random_game(rng, size));
    return positions;
}

}  // namespace vantrel::testing
