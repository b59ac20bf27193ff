// Tests of the rule referee itself, from the rules' wording: wins per rule
// game, renju's forbidden points on the hard cases (false threes, two fours
// on one line, the recursion two levels deep, the edge), move outcomes, and
// the random renju positions it supplies for comparisons with the engine.
#include "support/rule_referee.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/renju_positions.h"

namespace vantrel::testing {
namespace {

using Picture = std::vector<std::string>;

// A picture ('X' black, 'O' white, '.' empty) with one '*': the square under
// test, empty on the returned board.
struct Marked {
    RefereeBoard board;
    Coord point;
};

Marked marked(Picture rows) {
    Coord point{-1, -1};
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        int x = 0;
        for (char& c : rows[static_cast<std::size_t>(y)]) {
            if (c == ' ') continue;
            if (c == '*') {
                point = {x, y};
                c = '.';
            }
            ++x;
        }
    }
    EXPECT_GE(point.x, 0) << "no '*' in the picture";
    return {RefereeBoard::from_picture(rows), point};
}

// One line of play as the middle row of an otherwise empty board five rows
// high.
Picture one_line(const std::string& row) {
    const std::string empty(row.size(), '.');
    return {empty, empty, row, empty, empty};
}

bool foul_at_mark(const Picture& rows) {
    const Marked m = marked(rows);
    return forbidden(m.board, m.point.x, m.point.y);
}

// ---- Wins --------------------------------------------------------------------

// The rule games in the order of WinCase::wins.
constexpr RuleGame RULE_GAMES[] = {RuleGame::FreeStyle, RuleGame::Standard, RuleGame::Renju, RuleGame::Caro,
                                   RuleGame::CaroExactFive};

// The mover's stone goes on the '*'.
struct WinCase {
    const char* name;
    Square mover;
    std::array<bool, std::size(RULE_GAMES)> wins;  // free-style, standard, renju, caro, caro exact five
    Picture rows;
};

TEST(RuleRefereeWins, EachRuleGameJudgesTheLineThroughTheMove) {
    const Square X = Square::Black;
    const Square O = Square::White;
    // clang-format off
    const std::vector<WinCase> cases = {
        {"open exact five",                     X, {true, true, true, true, true},      one_line("..XXXX*....")},
        {"black six",                           X, {true, false, false, true, false},   one_line("..XXX*XX...")},
        {"white six",                           O, {true, false, true, true, false},    one_line("..OOO*OO...")},
        {"five blocked at both ends",           X, {true, true, true, false, false},    one_line(".OXXXX*O...")},
        {"white five blocked at both ends",     O, {true, true, true, false, false},    one_line(".XOO*OOX...")},
        {"five blocked at one end",             X, {true, true, true, true, true},      one_line("..XXXX*O...")},
        {"five between the edge and a blocker", X, {true, true, true, true, true},      one_line("XXXX*O.....")},
        {"six blocked at both ends",            X, {true, false, false, true, false},   one_line("OXXX*XXO...")},
        {"four and a gap is no five",           X, {false, false, false, false, false}, one_line(".XXX*.X....")},
        {"diagonal five", X, {true, true, true, true, true}, {
            "X.....",
            ".X....",
            "..*...",
            "...X..",
            "....X.",
            "......",
        }},
        {"anti-diagonal six", X, {true, false, false, true, false}, {
            ".....X",
            "....X.",
            "...*..",
            "..X...",
            ".X....",
            "X.....",
        }},
        // The exact five wins whatever the move makes in another line.
        {"black five beside a six in another line", X, {true, true, true, true, true}, {
            "....X....",
            "....X....",
            "XXXX*....",
            "....X....",
            "....X....",
            "....X....",
            ".........",
        }},
    };
    // clang-format on
    for (const WinCase& c : cases) {
        Marked m = marked(c.rows);
        m.board.set(m.point.x, m.point.y, c.mover);
        for (std::size_t r = 0; r < std::size(RULE_GAMES); ++r) {
            EXPECT_EQ(wins(m.board, m.point.x, m.point.y, RULE_GAMES[r]), c.wins[r])
                << c.name << ", " << rule_game_name(RULE_GAMES[r]);
        }
    }
}

TEST(RuleRefereeWins, InfoRuleValuesSelectTheListedGames) {
    const std::vector<std::pair<int, RuleGame>> values = {
        {0, RuleGame::FreeStyle},     {1, RuleGame::Standard},   {2, RuleGame::Renju},
        {3, RuleGame::Standard},      {4, RuleGame::Renju},      {5, RuleGame::Renju},
        {6, RuleGame::Renju},         {7, RuleGame::Renju},      {8, RuleGame::Caro},
        {9, RuleGame::CaroExactFive}, {10, RuleGame::Caro},      {11, RuleGame::CaroExactFive},
        {12, RuleGame::FreeStyle},    {16, RuleGame::FreeStyle}, {-1, RuleGame::FreeStyle},
    };
    for (const auto& [info, game] : values) EXPECT_EQ(rule_game_from_info(info), game) << "INFO rule " << info;
}

// ---- Forbidden points --------------------------------------------------------

struct FoulCase {
    const char* name;
    bool foul;
    Picture rows;
};

void expect_fouls(const std::vector<FoulCase>& cases) {
    for (const FoulCase& c : cases) EXPECT_EQ(foul_at_mark(c.rows), c.foul) << c.name;
}

// clang-format off
const Picture DOUBLE_THREE = {
    ".........",
    ".........",
    "....X....",
    "....X....",
    "..XX*....",
    ".........",
    ".........",
};

TEST(RuleRefereeForbidden, FoursThreesAndOverlinesOnDifferentLines) {
    expect_fouls({
        {"double three", true, DOUBLE_THREE},
        {"double three, one of them split", true, {
            ".........",
            "....X....",
            ".........",
            "....X....",
            "..XX*....",
            ".........",
            ".........",
        }},
        {"double four", true, {
            "....O....",
            "....X....",
            "....X....",
            "....X....",
            "OXXX*....",
            ".........",
            ".........",
        }},
        {"four-three", false, {
            ".........",
            ".........",
            "....X....",
            "....X....",
            "OXXX*....",
            ".........",
            ".........",
        }},
        {"straight four and a three", false, {
            ".........",
            ".........",
            "....X....",
            "....X....",
            "..XX*X...",
            ".........",
            ".........",
        }},
        {"straight four and a four", true, {
            "....O....",
            "....X....",
            "....X....",
            "....X....",
            "..XX*X...",
            ".........",
            ".........",
        }},
        {"overline", true, one_line(".XXX*XX..")},
        {"five beside an overline", false, {
            ".........",
            "....X....",
            "....X....",
            "....X....",
            ".XXX*X...",
            "....X....",
            "....X....",
        }},
    });
}

TEST(RuleRefereeForbidden, TwoFoursOnOneLine) {
    expect_fouls({
        {"X X X . X . X X X", true, one_line(".XXX.*.XXX.")},
        {"X X . X X . X X", true, one_line(".XX.X*.XX..")},
        {"X . X X X . X, the stone in the middle", true, one_line("..X.X*X.X..")},
        {"X . X X X . X, the stone at a side", true, one_line("..X.*XX.X..")},
        // Controls: the second five would not hold the stone, or would be six.
        {"the other four does not use the stone", false, one_line(".XXX.*OX.XXX.")},
        {"one completion would make six", false, one_line("XXXX.*.XXX.")},
        {"a straight four is one four", false, one_line("...XX*X....")},
    });
}

// In each position the vertical line through '*' holds a true three. The
// horizontal X X . * is a three only if its one straight-four point, the
// gap, is a legal move that makes no five, judged with '*' on the board.
TEST(RuleRefereeForbidden, AThreeWhoseStraightFourPointIsAFoulOrAFiveIsNoThree) {
    expect_fouls({
        {"control: the gap is an ordinary point", true, {
            ".............",
            ".............",
            ".............",
            "......X......",
            "......X......",
            "...XX.*......",
            ".............",
            ".............",
            ".............",
            ".............",
            ".............",
        }},
        {"the gap is a double three", false, {
            ".............",
            ".............",
            ".............",
            "......XX.....",
            "......X......",
            "...XX.*......",
            ".....X.......",
            ".....X.......",
            ".............",
            ".............",
            ".............",
        }},
        {"the gap is a double four", false, {
            ".............",
            ".............",
            ".............",
            "......X......",
            "......X......",
            "...XX.*......",
            ".....X.......",
            ".....X.......",
            ".....X.......",
            ".............",
            ".............",
        }},
        {"the gap is an overline", false, {
            ".............",
            ".............",
            ".....X.......",
            ".....XX......",
            ".....XX......",
            "...XX.*......",
            ".....X.......",
            ".....X.......",
            ".............",
            ".............",
            ".............",
        }},
        {"the gap makes five", false, {
            ".............",
            ".............",
            ".............",
            "......X......",
            "......X......",
            "...XX.*......",
            ".....X.......",
            ".....X.......",
            ".....X.......",
            ".....X.......",
            ".............",
        }},
    });
}

// A three's straight four holds the stone, and both of its ends complete
// exactly five on the board.
TEST(RuleRefereeForbidden, AThreeNeedsAStraightFourThroughTheStone) {
    expect_fouls({
        {"the straight four would not use the stone", false, {
            "............",
            "............",
            "...X........",
            "...X........",
            "...*...XXX..",
            "............",
            "............",
        }},
        {"a far stone on each side makes six of either four's completion", false, {
            "............",
            "............",
            "......X.....",
            "......X.....",
            ".X..XX*..X..",
            "............",
            "............",
        }},
        {"control: with one far stone the other four is straight", true, {
            "............",
            "............",
            "......X.....",
            "......X.....",
            ".X..XX*.....",
            "............",
            "............",
        }},
        {"the edge stops the only four", false, {
            "............",
            "............",
            "..X.........",
            "..X.........",
            "XX*.........",
            "............",
            "............",
        }},
        {"control: one square from the edge the four is straight", true, {
            "............",
            "............",
            "...X........",
            "...X........",
            ".XX*........",
            "............",
            "............",
        }},
    });
}

// As above, '*' has a true vertical three and a horizontal one that hinges
// on the gap. The gap's own vertical three below it hinges on the square
// just under the gap, which has a vertical four and, in the second position
// only, a horizontal four as well. That double four leaves the gap with one
// four and one three, a legal move, so the horizontal three of '*' stands.
TEST(RuleRefereeForbidden, TheRecursionTwoLevelsDeep) {
    expect_fouls({
        {"the deepest point is legal", false, {
            ".............",
            ".............",
            ".............",
            "......XX.....",
            "......X......",
            "...XX.*......",
            ".............",
            ".....X.......",
            ".....X.......",
            ".............",
            ".............",
        }},
        {"the deepest point is a double four", true, {
            ".............",
            ".............",
            ".............",
            "......XX.....",
            "......X......",
            "...XX.*......",
            ".......XXX...",
            ".....X.......",
            ".....X.......",
            ".............",
            ".............",
        }},
    });
}
// clang-format on

TEST(RuleRefereeForbidden, ForbiddenPointsListsEveryFoulOfThePosition) {
    // Only the meeting point of the two pairs can have two threes; no three
    // stones stand on a line, so nothing can make a four or an overline.
    const Marked m = marked(DOUBLE_THREE);
    EXPECT_EQ(forbidden_points(m.board), std::vector<Coord>{m.point});
    EXPECT_TRUE(forbidden_points(RefereeBoard(15, 15)).empty());
}

// ---- Move outcomes -----------------------------------------------------------

// A board filled in scan order with a pattern that has no three in a row in
// any line: pairs along rows, alternating down columns.
RefereeBoard filled(int width, int height, int stones) {
    RefereeBoard board(width, height);
    for (int i = 0; i < stones; ++i) {
        const int x = i % width;
        const int y = i / width;
        board.set(x, y, (x / 2 + y) % 2 == 0 ? Square::Black : Square::White);
    }
    return board;
}

TEST(RuleRefereeOutcome, IllegalFoulWinAndGoingOn) {
    const Marked m = marked(DOUBLE_THREE);
    const int x = m.point.x;
    const int y = m.point.y;
    EXPECT_EQ(outcome_after(m.board, 4, 2, Square::White, RuleGame::FreeStyle), MoveOutcome::Illegal);
    EXPECT_EQ(outcome_after(m.board, -1, 0, Square::Black, RuleGame::FreeStyle), MoveOutcome::Illegal);
    EXPECT_EQ(outcome_after(m.board, 9, 0, Square::Black, RuleGame::Renju), MoveOutcome::Illegal);
    EXPECT_EQ(outcome_after(m.board, x, y, Square::Black, RuleGame::Renju), MoveOutcome::BlackFoul);
    EXPECT_EQ(outcome_after(m.board, x, y, Square::White, RuleGame::Renju), MoveOutcome::GoesOn);
    EXPECT_EQ(outcome_after(m.board, x, y, Square::Black, RuleGame::Standard), MoveOutcome::GoesOn);

    const Marked five = marked(one_line(".OXXXX*O."));
    EXPECT_EQ(outcome_after(five.board, five.point.x, five.point.y, Square::Black, RuleGame::Renju), MoveOutcome::Win);
    EXPECT_EQ(outcome_after(five.board, five.point.x, five.point.y, Square::Black, RuleGame::Caro),
              MoveOutcome::GoesOn);
}

TEST(RuleRefereeOutcome, DrawsOnAFullBoardAndAfterTwoHundredRenjuStones) {
    constexpr int SIZE = 15;
    constexpr int DRAW_STONES = 200;
    const RefereeBoard nearly_full = filled(5, 5, 24);
    EXPECT_EQ(outcome_after(nearly_full, 4, 4, Square::Black, RuleGame::FreeStyle), MoveOutcome::Draw);

    // The 200th stone (white's) draws a 15 x 15 renju game, not another game.
    const RefereeBoard board = filled(SIZE, SIZE, DRAW_STONES - 1);
    const int x = (DRAW_STONES - 1) % SIZE;
    const int y = (DRAW_STONES - 1) / SIZE;
    ASSERT_EQ(filled(SIZE, SIZE, DRAW_STONES).at(x, y), Square::White);
    EXPECT_EQ(outcome_after(board, x, y, Square::White, RuleGame::Renju), MoveOutcome::Draw);
    EXPECT_EQ(outcome_after(board, x, y, Square::White, RuleGame::FreeStyle), MoveOutcome::GoesOn);
    const RefereeBoard larger = filled(SIZE + 1, SIZE + 1, DRAW_STONES - 1);
    const int larger_x = (DRAW_STONES - 1) % (SIZE + 1);
    const int larger_y = (DRAW_STONES - 1) / (SIZE + 1);
    EXPECT_EQ(outcome_after(larger, larger_x, larger_y, Square::White, RuleGame::Renju), MoveOutcome::GoesOn);
}

// ---- Random renju positions --------------------------------------------------

TEST(RuleRefereePositions, RandomRenjuPositionsAreLegalRepeatableAndRichInFouls) {
    constexpr int SIZE = 15;
    constexpr int COUNT = 60;
    const std::vector<RefereeBoard> positions = random_renju_positions(7, COUNT, SIZE);
    ASSERT_EQ(positions.size(), static_cast<std::size_t>(COUNT));
    EXPECT_EQ(positions, random_renju_positions(7, COUNT, SIZE));

    int with_fouls = 0;
    for (const RefereeBoard& board : positions) {
        SCOPED_TRACE(board.picture());
        ASSERT_EQ(board.width(), SIZE);
        int black = 0;
        int white = 0;
        for (int y = 0; y < SIZE; ++y) {
            for (int x = 0; x < SIZE; ++x) {
                black += board.at(x, y) == Square::Black ? 1 : 0;
                white += board.at(x, y) == Square::White ? 1 : 0;
                // Nobody has won: no stone stands in a five or more.
                EXPECT_FALSE(wins(board, x, y, RuleGame::FreeStyle)) << x << "," << y;
            }
        }
        EXPECT_TRUE(black == white || black == white + 1);
        const std::vector<Coord> fouls = forbidden_points(board);
        with_fouls += fouls.empty() ? 0 : 1;
        // The full count of shapes and the judgement that stops early agree.
        for (int y = 0; y < SIZE; ++y) {
            for (int x = 0; x < SIZE; ++x) {
                if (board.at(x, y) != Square::Empty) continue;
                const bool listed = std::ranges::find(fouls, Coord{x, y}) != fouls.end();
                EXPECT_EQ(black_shapes(board, x, y).foul(), listed) << x << "," << y;
            }
        }
    }
    EXPECT_GE(with_fouls * 2, COUNT) << "fewer than half the positions hold a forbidden point";
}

}  // namespace
}  // namespace vantrel::testing
