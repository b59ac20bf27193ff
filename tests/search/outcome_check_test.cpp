// The outcome check on hand-made positions for each of its tests and their
// order, and over many random positions against a from-scratch solver for
// the shortest forced results (five next move, loss on ply 2, win on ply 3).
#include "search/outcome_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/plain_board.h"
#include "support/position_setup.h"
#include "support/position_snapshot.h"
#include "support/random_positions.h"

namespace vantrel {
namespace {

using testing::engine_from_picture;
using testing::picture_of;
using testing::PositionSnapshot;

// The check, plus the promise that it leaves the position exactly as it was.
int checked_outcome(Engine& e) {
    const PositionSnapshot before(e);
    const int r = outcome_check(e);
    EXPECT_STREQ(before.difference(e), "") << picture_of(e);
    return r;
}

// X (player 0) to move in every picture below: the stone counts are equal.

TEST(OutcomeCheck, NothingOnAnEmptyBoardOrWithoutThreats) {
    auto empty = testing::new_engine(15);
    EXPECT_EQ(checked_outcome(*empty), 0);
    auto quiet = engine_from_picture({
        "...............",
        "...............",
        "....X..........",
        "......O........",
        "........X......",
        ".....O.........",
        "...............",
    });
    EXPECT_EQ(checked_outcome(*quiet), 0);
}

TEST(OutcomeCheck, OwnFivePointComesBeforeTheOpponentsTwo) {
    auto e = engine_from_picture({
        "...............",
        "OXXXX..........",  // X five point at (5, 1)
        "...............",
        "...............",
        "...............",
        ".OOOO..........",  // O five points at (0, 5) and (5, 5)
        "..............X",
    });
    EXPECT_EQ(checked_outcome(*e), 1);
}

TEST(OutcomeCheck, TwoOpponentFivePointsLoseOnPlyTwo) {
    auto e = engine_from_picture({
        "..........X....",
        "...............",
        "..............X",
        "...............",
        "...............",
        ".OOOO..........",
        "...............",
        "..........X....",
        "...............",
        "..............X",
    });
    EXPECT_EQ(checked_outcome(*e), -2);
}

TEST(OutcomeCheck, SingleFivePointIsBlockedBeforeOwnOpenFourCounts) {
    // X could make an open four at (4, 8) or (8, 8), but must first block at
    // (5, 1); after the block nothing is forced for O, so nothing is reported.
    auto e = engine_from_picture({
        "...............",
        "XOOOO..........",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        ".....XXX.......",
    });
    EXPECT_EQ(checked_outcome(*e), 0);
}

TEST(OutcomeCheck, BlockThatMakesTwoFivePointsWinsOnPlyThree) {
    // O's five point (5, 6) is also where X makes an open four.
    auto e = engine_from_picture({
        "...............",
        ".....X.........",
        ".....O.........",
        ".....O.........",
        ".....O.........",
        ".....O.........",
        "..XXX..........",
    });
    EXPECT_EQ(checked_outcome(*e), 3);
}

TEST(OutcomeCheck, OpponentWinsOnPlyFourAfterTheForcedBlock) {
    // X must block at (5, 6); then O makes an open four from its open three.
    auto e = engine_from_picture({
        "..............X",
        ".....X.........",
        ".....O.........",
        ".....O.......X.",
        ".....O.........",
        ".....O.........",
        "...............",
        "...............",
        "...............",
        "...............",
        ".......OOO.....",
        "...............",
        "X..............",
        "...............",
        "X.....X.......X",
    });
    EXPECT_EQ(checked_outcome(*e), -4);
}

// X's cell (5, 7) makes a four (O blocks at (1, 7)) and an open three down
// column 5: status 8.
// clang-format off
const std::vector<std::string> FOUR_THREE_ROWS = {
    "............O..",
    "...............",
    "..............O",
    "...............",
    "...............",
    "...............",
    "...............",
    ".OXXX..........",
    ".....X.........",
    ".....X.........",
};
// clang-format on

TEST(OutcomeCheck, FourWithOpenThreeWinsAtOnceWhenTheOpponentHasNoFour) {
    auto rows = FOUR_THREE_ROWS;
    rows.push_back("...............");
    rows.push_back("...............");
    rows.push_back("...............");
    rows.push_back("..........O....");
    rows.push_back("..O............");
    auto e = engine_from_picture(rows);
    ASSERT_GE(e->status_count[0][8], 1);
    const int nodes = e->node_count;
    EXPECT_EQ(checked_outcome(*e), 5);
    EXPECT_EQ(e->node_count, nodes) << "decided from the counts, without a move";
}

TEST(OutcomeCheck, FourWithOpenThreeWinsThroughTheForcedLine) {
    // O can make a four on row 12 (X blocks its left end), so the check must
    // play X's (5, 7) out: O blocks at (6, 7), X makes an open four.
    auto rows = FOUR_THREE_ROWS;
    rows.push_back("...............");
    rows.push_back("...............");
    rows.push_back(".........XOOO..");
    rows.push_back("...............");
    rows.push_back("...............");
    auto e = engine_from_picture(rows);
    ASSERT_NE(e->status_count[1][6] + e->status_count[1][7], 0);
    const int nodes = e->node_count;
    EXPECT_EQ(checked_outcome(*e), 5);
    EXPECT_GT(e->node_count, nodes);
}

TEST(OutcomeCheck, FourWithOpenThreeThatLeadsNowhereGivesNothing) {
    // O's block at (6, 7) completes an O four down column 6, so X must block
    // at (6, 6) in turn and the open three never becomes an open four in time.
    auto e = engine_from_picture({
        "............O..",
        "...............",
        "..............O",
        "...............",
        "...............",
        "...............",
        "...............",
        ".OXXX..........",
        ".....XO........",
        ".....XO........",
        "......O........",
        "......X........",
    });
    ASSERT_GE(e->status_count[0][8], 1);
    ASSERT_NE(e->status_count[1][7] + e->status_count[1][6], 0);
    EXPECT_EQ(checked_outcome(*e), 0);
}

TEST(OutcomeCheck, TwoOpenThreesWinOnPlyFiveWhenTheOpponentHasNoFour) {
    auto e = engine_from_picture({
        "...............",
        "...............",
        "..O............",
        "...............",
        ".............O.",
        ".......X.......",
        ".......X.......",
        ".....XX........",
        "...............",
        "...............",
        "O..............",
        "...............",
        "..........O....",
    });
    ASSERT_GE(e->status_count[0][5], 1);
    EXPECT_EQ(checked_outcome(*e), 5);
}

// The shortest forced results, worked out on the plain grid: five on the
// next move, a loss on ply 2 (two opponent five points and none of one's
// own), a win on ply 3 (a move after which the opponent has no five point
// and the mover has two).
struct ShortResults {
    bool win1 = false, lose2 = false, win3 = false;
};

ShortResults solve_short(testing::PlainBoard b, int side) {
    const int other = 1 - side;
    ShortResults r;
    r.win1 = b.count_five_points(side) > 0;
    if (r.win1) return r;
    r.lose2 = b.count_five_points(other) >= 2;
    if (r.lose2) return r;
    for (int y = 0; y < b.height() && !r.win3; ++y) {
        for (int x = 0; x < b.width() && !r.win3; ++x) {
            if (b.at(x, y) != EMPTY) continue;
            b.set(x, y, side);
            r.win3 = b.count_five_points(other) == 0 && b.count_five_points(side) >= 2;
            b.set(x, y, EMPTY);
        }
    }
    return r;
}

TEST(OutcomeCheck, RandomPositionsAgreeWithTheSolverAndKeepTheParity) {
    int seen_win1 = 0, seen_lose2 = 0, seen_win3 = 0, seen_longer = 0, positions = 0;
    for (int game = 0; game < 24; ++game) {
        const int size = 9 + game % 4 * 2;  // 9, 11, 13, 15
        auto e = testing::new_engine(size);
        testing::TestRng rng(1000 + game);
        for (int stones = 0; stones < 44; ++stones) {
            if (testing::play_random_moves(*e, rng, 1, 3) == 0) break;
            ++positions;
            const int r = checked_outcome(*e);
            const ShortResults s = solve_short(testing::PlainBoard(*e), e->side);
            SCOPED_TRACE(picture_of(*e));
            SCOPED_TRACE("game " + std::to_string(game) + ", stones " + std::to_string(e->move_count));
            if (r > 0) {
                EXPECT_EQ(r % 2, 1) << r;
            } else if (r < 0) {
                EXPECT_EQ(-r % 2, 0) << r;
            }
            EXPECT_EQ(r == 1, s.win1) << r;
            EXPECT_EQ(r == -2, s.lose2) << r;
            EXPECT_EQ(r == 3, s.win3) << r;
            seen_win1 += r == 1;
            seen_lose2 += r == -2;
            seen_win3 += r == 3;
            seen_longer += r >= 5 || r <= -4;
        }
    }
    // The sample must reach every kind of result, or it proves little.
    EXPECT_GT(seen_win1, 0);
    EXPECT_GT(seen_lose2, 0);
    EXPECT_GT(seen_win3, 0);
    EXPECT_GT(seen_longer, 0);
    std::printf("%d positions: %d win on 1, %d loss on 2, %d win on 3, %d longer\n", positions, seen_win1, seen_lose2,
                seen_win3, seen_longer);
}

}  // namespace
}  // namespace vantrel
