// Positions whose free-style answer is wrong under another rule: the search
// must play by the rule of the game. Each position is searched under
// free-style too, to show that the rule is what changes the answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/renju_fouls.h"
#include "search/evaluation.h"
#include "search_setup.h"
#include "support/position_setup.h"

namespace vantrel {
namespace {

using testing::deepen;
using testing::engine_from_picture;

constexpr int DEPTH = 6;

struct Answer {
    BoardPoint move;
    int score;
};

Answer search_under(const std::vector<std::string>& picture, Rule rule) {
    auto e = engine_from_picture(picture);
    e->set_rule(rule);
    const DeepeningReport r = deepen(*e, DEPTH);
    return {r.move, r.score};
}

bool is(BoardPoint p, int x, int y) { return p.x == x && p.y == y; }

// X to move. X's gap on row 2 fills to six in a row; O has a five point at
// (4, 6). Free-style: X wins at once. Standard: a six is no five, X must block.
// clang-format off
const std::vector<std::string> SIX_OR_BLOCK = {
    "...............",
    "...............",
    "XX.XXX.........",
    "...............",
    "...............",
    "...............",
    "OOOO...........",
    "...............",
    "...............",
    "..............O",
};
// clang-format on

TEST(RuleSearch, StandardSixIsNoWin) {
    const Answer free_style = search_under(SIX_OR_BLOCK, Rule::FreeStyle);
    EXPECT_TRUE(is(free_style.move, 2, 2));
    EXPECT_EQ(free_style.score, WIN_SCORE - 1);
    const Answer standard = search_under(SIX_OR_BLOCK, Rule::Standard);
    EXPECT_TRUE(is(standard.move, 4, 6)) << standard.move.x << "," << standard.move.y;
    EXPECT_LT(standard.score, WIN_SCORE - 100);
}

// X to move. X's gap on row 2 fills to five between two O stones; O has a
// five point at (4, 6). Caro: a five blocked at both ends does not win.
// clang-format off
const std::vector<std::string> BLOCKED_FIVE = {
    "...............",
    "...............",
    "OXX.XXO........",
    "...............",
    "...............",
    "...............",
    "OOOO...........",
    "...............",
    "...............",
    "............X.X",
};
// clang-format on

TEST(RuleSearch, CaroFiveBlockedAtBothEndsIsNoWin) {
    EXPECT_TRUE(is(search_under(BLOCKED_FIVE, Rule::FreeStyle).move, 3, 2));
    for (const Rule rule : {Rule::Caro, Rule::CaroExact}) {
        const Answer caro = search_under(BLOCKED_FIVE, rule);
        EXPECT_TRUE(is(caro.move, 4, 6)) << caro.move.x << "," << caro.move.y;
    }
}

// X (black) to move. X's gap at (1, 2) makes six in a row: an overline, a
// foul in renju (the other end is blocked); O (white) has a five point at
// (4, 6), which X must block.
// clang-format off
const std::vector<std::string> OVERLINE_OR_BLOCK = {
    "...............",
    "...............",
    "X.XXXXO........",
    "...............",
    "...............",
    "...............",
    "OOOO...........",
    "...............",
    "..............O",
    "..........X.X.O",
};
// clang-format on

TEST(RuleSearch, RenjuBlackOverlineIsNoWin) {
    EXPECT_TRUE(is(search_under(OVERLINE_OR_BLOCK, Rule::FreeStyle).move, 1, 2));
    const Answer renju = search_under(OVERLINE_OR_BLOCK, Rule::Renju);
    EXPECT_TRUE(is(renju.move, 4, 6)) << renju.move.x << "," << renju.move.y;
}

// X (black) to move. O (white) has a four down column 3 whose one five point
// (3, 3) would give X seven in a row: a foul. Black cannot block and has
// lost; it still never plays the foul. Free-style: X's seven wins.
// clang-format off
const std::vector<std::string> BLOCK_IS_A_FOUL = {
    "...............",
    "...............",
    "...X...........",
    "XXX.XXX........",
    "...O...........",
    "...O...........",
    "...O...........",
    "...O...........",
    "...X...........",
    "...............",
    "..............O",
    "...............",
    "..........O.O.O",
};
// clang-format on

TEST(RuleSearch, RenjuWhiteWinsWhenBlacksOnlyBlockIsAFoul) {
    const Answer free_style = search_under(BLOCK_IS_A_FOUL, Rule::FreeStyle);
    EXPECT_TRUE(is(free_style.move, 3, 3));
    EXPECT_EQ(free_style.score, WIN_SCORE - 1);
    const Answer renju = search_under(BLOCK_IS_A_FOUL, Rule::Renju);
    EXPECT_FALSE(is(renju.move, 3, 3));
    EXPECT_EQ(renju.score, -(WIN_SCORE - 1));  // white's five on the next move

    // White, to move one stone earlier (its four not yet made), sees the win
    // by the four whose five point is black's foul; (3, 3) would make a four
    // that black can block.
    std::vector<std::string> earlier = BLOCK_IS_A_FOUL;
    earlier[7][3] = '.';
    const Answer white = search_under(earlier, Rule::Renju);
    EXPECT_TRUE(is(white.move, 3, 7)) << white.move.x << "," << white.move.y;
    EXPECT_EQ(white.score, WIN_SCORE - 2);  // as against two five points
}

}  // namespace
}  // namespace vantrel
