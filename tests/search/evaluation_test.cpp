// The static evaluation: worked values, forced results as win and loss
// scores, the blocking weights, and over random positions the blend of a
// from-scratch stone score (free five-cell windows counted on the plain
// grid) with the status balance, truncated toward zero.
#include "search/evaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "board/pattern_tables.h"
#include "search/outcome_check.h"
#include "support/plain_board.h"
#include "support/position_setup.h"
#include "support/position_snapshot.h"
#include "support/random_positions.h"

namespace vantrel {
namespace {

using testing::engine_from_moves;
using testing::engine_from_picture;
using testing::picture_of;

int checked_evaluate(Engine& e) {
    const testing::PositionSnapshot before(e);
    const int v = evaluate(e);
    EXPECT_STREQ(before.difference(e), "") << picture_of(e);
    return v;
}

TEST(Evaluate, EmptyBoardIsTheSideToMoveBonus) {
    auto e = testing::new_engine(15);
    EXPECT_EQ(checked_evaluate(*e), 20);
    EXPECT_EQ(status_balance(*e), 0);
}

TEST(Evaluate, OneCentreStoneSeenByTheOtherSide) {
    // X's stone: four open lines of 15 each; 24 cells (1 to 3 steps along
    // the eight half-lines) are open-two points for X.
    auto e = engine_from_moves(15, {{7, 7}});
    EXPECT_EQ(status_balance(*e), -24);
    EXPECT_EQ(checked_evaluate(*e), -24 - 12 + 20);
    EXPECT_EQ(e->status_count[0][STATUS_OPEN_TWO], 24);
}

TEST(Evaluate, ForcedResultsBecomeWinAndLossScores) {
    struct Case {
        int outcome;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {1,
         {
             "...............",
             "OXXXX..........",
             "...............",
             ".OOOO.........X",
             "...............",
         }},
        {-2,
         {
             "..........X....",
             "...............",
             ".OOOO.........X",
             "..........X....",
             "X..............",
         }},
        {3,
         {
             "...............",
             ".....X.........",
             ".....O.........",
             ".....O.........",
             ".....O.........",
             ".....O.........",
             "..XXX..........",
         }},
        {-4,
         {
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
         }},
    };
    for (const Case& c : cases) {
        auto e = engine_from_picture(c.rows);
        ASSERT_EQ(outcome_check(*e), c.outcome) << picture_of(*e);
        const int expected = c.outcome > 0 ? 30000 - c.outcome : -30000 - c.outcome;
        EXPECT_EQ(checked_evaluate(*e), expected) << c.outcome;
    }
}

int weighted(const std::int32_t* counts, const std::int32_t* weights) {
    int sum = 0;
    for (int s = 1; s < STATUS_COUNT; ++s) sum += counts[s] * weights[s];
    return sum;
}

TEST(StatusBalance, OpponentFivePointCutsOwnFourThreatsToBlockingWeights) {
    // O has one five point (5, 1); X has two open-four points but must block
    // first, and after the block nothing is forced.
    auto e = engine_from_picture({
        "...............",
        "XOOOO..........",
        "...............",
        "...............",
        "...............",
        ".....XXX.......",
    });
    ASSERT_EQ(outcome_check(*e), 0);
    ASSERT_EQ(e->status_count[1][10], 1);
    ASSERT_EQ(e->status_count[0][9], 2);
    const int opp = weighted(e->status_count[1], OpponentStatusWeights);
    EXPECT_EQ(status_balance(*e), weighted(e->status_count[0], OwnStatusWeightsBlocking) - opp);
    // Each open-four point counts 20 rather than 200.
    EXPECT_EQ(weighted(e->status_count[0], OwnStatusWeights) - weighted(e->status_count[0], OwnStatusWeightsBlocking),
              2 * 180);
    EXPECT_EQ(OpponentStatusWeights[10], 30);
}

TEST(StatusBalance, WithoutAFivePointOwnFourThreatsCountFully) {
    // The same open three, O's four blocked at both ends.
    auto e = engine_from_picture({
        "...............",
        "XOOOOX.........",
        "...............",
        "...............",
        "...............",
        ".....XXX.......",
        "..............O",
    });
    ASSERT_EQ(e->status_count[1][10], 0);
    ASSERT_EQ(e->status_count[0][9], 2);
    EXPECT_EQ(status_balance(*e),
              weighted(e->status_count[0], OwnStatusWeights) - weighted(e->status_count[1], OpponentStatusWeights));
}

// Stone scores from first principles: every five-cell window through a
// stone that holds no opponent stone and stays on the board adds
// 4 x (own stones in it) - 1.
int stone_score(const testing::PlainBoard& b, int player) {
    int score = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            if (b.at(x, y) != player) continue;
            for (int d = 0; d < DIRECTIONS; ++d)
                for (int start = -4; start <= 0; ++start) {
                    int own = 0;
                    bool free = true;
                    for (int k = start; k < start + 5; ++k) {
                        const int s = b.at(x + k * DX[d], y + k * DY[d]);
                        if (s == player)
                            ++own;
                        else if (s != EMPTY)
                            free = false;
                    }
                    if (free) score += 4 * own - 1;
                }
        }
    return score;
}

TEST(Evaluate, RandomPositionsBlendStoneScoresAndBalanceTruncatedTowardZero) {
    int quiet = 0, negative_fraction = 0, positive_fraction = 0;
    for (int game = 0; game < 16; ++game) {
        const int size = 10 + game % 3 * 5;  // 10, 15, 20
        auto e = testing::new_engine(size);
        testing::TestRng rng(500 + game);
        for (int stones = 0; stones < 40; ++stones) {
            if (testing::play_random_moves(*e, rng, 1, 4 + game % 4) == 0) break;
            const int r = outcome_check(*e);
            const int v = checked_evaluate(*e);
            SCOPED_TRACE(picture_of(*e));
            if (r > 0) {
                EXPECT_EQ(v, 30000 - r);
                continue;
            }
            if (r < 0) {
                EXPECT_EQ(v, -30000 - r);
                continue;
            }
            ++quiet;
            const testing::PlainBoard board(*e);
            const int diff = stone_score(board, e->side) - stone_score(board, e->other);
            // The exact value of b + diff / 5 + 20, in fifths, and its
            // truncation toward zero.
            const int fifths = 5 * status_balance(*e) + diff + 100;
            const int truncated = fifths / 5;  // C++ integer division truncates toward zero
            EXPECT_EQ(v, truncated) << "b " << status_balance(*e) << ", diff " << diff;
            negative_fraction += fifths < 0 && fifths % 5 != 0;
            positive_fraction += fifths > 0 && fifths % 5 != 0;
        }
    }
    EXPECT_GT(quiet, 100);
    EXPECT_GT(negative_fraction, 0) << "no negative value with a fraction: truncation untested";
    EXPECT_GT(positive_fraction, 0);
}

}  // namespace
}  // namespace vantrel
