// Black's fouls as the engine judges them, against the referee of the tests
// (support/rule_referee.h), which follows the rule's text and nothing of the
// engine: on thousands of random positions rich in threes and fours, and on
// the hard cases.
#include "board/renju_fouls.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "board/engine_object.h"
#include "support/renju_positions.h"
#include "support/rule_referee.h"

namespace vantrel {
namespace {

using testing::Coord;
using testing::RefereeBoard;
using testing::Square;

// The referee's board as a renju game on the engine: its stones placed
// alternately, black first (any order of each colour gives the same board).
std::unique_ptr<Engine> renju_engine(const RefereeBoard& board) {
    auto e = std::make_unique<Engine>();
    e->set_rule(Rule::Renju);
    e->reset_rectangle(board.width(), board.height());
    std::vector<Coord> stones[2];
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x) {
            if (board.at(x, y) == Square::Black) stones[BLACK].push_back({x, y});
            if (board.at(x, y) == Square::White) stones[WHITE].push_back({x, y});
        }
    EXPECT_TRUE(stones[BLACK].size() == stones[WHITE].size() || stones[BLACK].size() == stones[WHITE].size() + 1);
    for (std::size_t i = 0; i < stones[BLACK].size(); ++i) {
        e->move(stones[BLACK][i].x, stones[BLACK][i].y);
        if (i < stones[WHITE].size()) e->move(stones[WHITE][i].x, stones[WHITE][i].y);
    }
    return e;
}

std::vector<Coord> engine_forbidden(Engine& e) {
    std::vector<Point> points(static_cast<std::size_t>(e.board_width * e.board_height));
    const int n = forbidden_points(e, points.data());
    std::vector<Coord> out;
    for (int i = 0; i < n; ++i) out.push_back({points[i].x - MARGIN, points[i].y - MARGIN});
    return out;
}

TEST(RenjuFouls, SameForbiddenPointsAsTheReferee) {
    struct Batch {
        std::uint64_t seed;
        int count, size;
    };
    // The sanitizers slow the slow referee twentyfold: a tenth of the
    // positions there.
    const int share = std::getenv("VANTREL_SANITIZER_BUILD") ? 10 : 1;
    int positions = 0, positions_with_fouls = 0;
    for (const Batch b : {Batch{1, 1500, 15}, Batch{2, 300, 9}, Batch{3, 200, 20}}) {
        for (const RefereeBoard& board : testing::random_renju_positions(b.seed, b.count / share, b.size)) {
            ++positions;
            auto e = renju_engine(board);
            const std::vector<Coord> expected = testing::forbidden_points(board);
            ASSERT_EQ(engine_forbidden(*e), expected) << board.picture();
            positions_with_fouls += !expected.empty();
            // Whoever is to move, the answer is black's, and the board is
            // left as it was.
            EXPECT_EQ(e->move_count, board.stone_count());
        }
    }
    EXPECT_GT(positions_with_fouls, positions / 2);
}

TEST(RenjuFouls, NoneOutsideRenjuAndMayTakeFollowsTheSide) {
    // A double three for black at (7, 7).
    const RefereeBoard board = RefereeBoard::from_picture({
        ".........",
        ".........",
        ".....X...",
        "......X..",
        ".........",
        "....XX...",
        ".........",
        "..O......",
        "..OOO....",
    });
    auto e = renju_engine(board);
    ASSERT_EQ(engine_forbidden(*e), testing::forbidden_points(board));
    ASSERT_FALSE(engine_forbidden(*e).empty());
    const Coord foul = engine_forbidden(*e)[0];
    const int x = foul.x + MARGIN, y = foul.y + MARGIN;
    ASSERT_EQ(e->side, BLACK);
    EXPECT_FALSE(may_take(*e, x, y));
    e->move(8, 0);  // black elsewhere: now white may take the point
    EXPECT_TRUE(may_take(*e, x, y));
    e->undo();
    e->set_rule(Rule::Standard);
    EXPECT_TRUE(engine_forbidden(*e).empty());
    EXPECT_TRUE(may_take(*e, x, y));
}

}  // namespace
}  // namespace vantrel
