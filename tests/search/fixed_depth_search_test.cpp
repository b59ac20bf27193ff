// The fixed-depth search and think: root rules, the inclusive window, the
// shift of won scores by one per ply, the exact child values it keeps, and
// what think plays when the search yields no move.
#include "search/fixed_depth_search.h"

#include <gtest/gtest.h>

#include "search/candidates.h"
#include "search/evaluation.h"
#include "search/fallback_move.h"
#include "search/pv_search.h"
#include "search_setup.h"
#include "support/position_setup.h"
#include "support/position_snapshot.h"
#include "tactical_positions.h"

namespace vantrel::testing {
namespace {

// think relies on its caller for the clock; so does a direct search.
std::unique_ptr<Engine> ready(const Picture& picture) {
    auto e = engine_from_picture(picture);
    give_ample_time(*e);
    e->ply = 0;
    e->follow_pv = false;
    return e;
}

FixedResult search(Engine& e, int depth, int alpha = -ROOT_WINDOW, int beta = ROOT_WINDOW) {
    return fixed_depth_search(e, depth, false, alpha, beta);
}

TEST(FixedDepthSearch, DepthZeroSearchesOnePly) {
    auto zero = ready(QUIET_MIDDLE_GAME);
    auto one = ready(QUIET_MIDDLE_GAME);
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
    zero->think(x0, y0, 0);
    one->think(x1, y1, 1);
    EXPECT_EQ(x0, x1);
    EXPECT_EQ(y0, y1);
    EXPECT_EQ(zero->node_count, one->node_count);
    EXPECT_GT(one->node_count, 0);
}

TEST(FixedDepthSearch, RootFivePointIsPlayed) {
    auto e = ready(OWN_FIVE_POINT);
    const FixedResult r = fixed_depth_search(*e, 4, true, -ROOT_WINDOW, ROOT_WINDOW);
    EXPECT_EQ(r.move.x, OWN_FIVE.first + MARGIN);
    EXPECT_EQ(r.move.y, OWN_FIVE.second + MARGIN);
    EXPECT_EQ(r.value, WIN_SCORE - 1);

    int x = -1, y = -1;
    e->think(x, y, 4);
    EXPECT_EQ(x, OWN_FIVE.first);
    EXPECT_EQ(y, OWN_FIVE.second);
    EXPECT_EQ(e->cell(x + MARGIN, y + MARGIN).state, 0);
}

TEST(FixedDepthSearch, ASingleRootCandidateIsPlayedWithItsPriorityAsValue) {
    auto e = ready(OPPONENT_FIVE_POINT);
    CandidateList list;
    generate_candidates(*e, list);
    ASSERT_EQ(list.count, 1);
    const FixedResult r = fixed_depth_search(*e, 6, true, -ROOT_WINDOW, ROOT_WINDOW);
    EXPECT_EQ(r.move.x, OPPONENT_FIVE.first + MARGIN);
    EXPECT_EQ(r.move.y, OPPONENT_FIVE.second + MARGIN);
    EXPECT_EQ(r.value, list.entries[0].priority);

    const int stones = e->move_count;
    int x = -1, y = -1;
    e->think(x, y, 6);
    EXPECT_EQ(x, OPPONENT_FIVE.first);
    EXPECT_EQ(y, OPPONENT_FIVE.second);
    EXPECT_EQ(e->move_count, stones + 1);
}

TEST(FixedDepthSearch, AWindowThatIsEmptyBeyondOneStepReturnsBetaPlusOne) {
    auto e = ready(QUIET_MIDDLE_GAME);
    e->pv_table.pv_length[0] = 17;
    const int nodes = e->node_count;
    const FixedResult r = search(*e, 3, 10, 5);
    EXPECT_EQ(r.value, 6);
    EXPECT_EQ(r.move.x, 0);
    EXPECT_EQ(e->node_count, nodes);
    EXPECT_EQ(e->pv_table.pv_length[0], 17);
}

TEST(FixedDepthSearch, WonScoresLoseOnePerPlyOnTheWayUp) {
    // The double four comes on ply 5 and the five on ply 7; two plies are not
    // enough to see it, three are, and the score counts the plies.
    auto shallow = ready(FOURS_WIN);
    EXPECT_LT(search(*shallow, 2).value, 25000);
    auto deep = ready(FOURS_WIN);
    const PositionSnapshot before(*deep);
    const FixedResult r = search(*deep, 3);
    EXPECT_EQ(r.value, WIN_SCORE - 7);
    EXPECT_EQ(r.move.x, FOURS_WIN_LINE[0].first.first + MARGIN);
    EXPECT_EQ(r.move.y, FOURS_WIN_LINE[0].first.second + MARGIN);
    EXPECT_STREQ(before.difference(*deep), "");

    // From the defender's side after the first four and its block the loss is
    // four plies nearer.
    auto defender = ready(FOURS_WIN);
    defender->move(FOURS_WIN_LINE[0].first.first, FOURS_WIN_LINE[0].first.second);
    EXPECT_EQ(search(*defender, 4).value, -WIN_SCORE + 6);
}

TEST(FixedDepthSearch, AScoreEqualToBetaIsExactOnlyAboveItCuts) {
    auto e = ready(QUIET_MIDDLE_GAME);
    const FixedResult full = search(*e, 1);
    const int v = full.value;

    e->pv_table.pv[0][0] = 0;
    const FixedResult at_beta = search(*e, 1, -ROOT_WINDOW, v);
    EXPECT_EQ(at_beta.value, v);
    EXPECT_EQ(e->pv_table.pv[0][0], pv_move(full.move.x, full.move.y));

    const FixedResult above = search(*e, 1, -ROOT_WINDOW, v - 5);
    EXPECT_EQ(above.value, v - 4);
}

TEST(FixedDepthSearch, ChildValuesAreReusedOnlyAtTheSameDepth) {
    auto e = ready(QUIET_MIDDLE_GAME);
    const Point first = fallback_move(*e);  // searched first
    const int planted = 20000;

    for (int stored_depth : {0, 2}) {
        e->hash.clear();
        e->make(first.x, first.y);
        e->hash.search_store_fixed(planted, stored_depth, e->move_count, 0);
        e->undo();
        const FixedResult r = search(*e, 1);
        if (stored_depth == 0) {
            EXPECT_EQ(r.value, planted);
            EXPECT_EQ(r.move.x, first.x);
            EXPECT_EQ(r.move.y, first.y);
        } else {
            EXPECT_LT(r.value, planted);
        }
    }
}

TEST(FixedDepthSearch, ThinkIsRepeatable) {
    auto a = ready(QUIET_MIDDLE_GAME);
    auto b = ready(QUIET_MIDDLE_GAME);
    int ax = -1, ay = -1, bx = -1, by = -1;
    a->think(ax, ay, 3);
    b->think(bx, by, 3);
    EXPECT_EQ(ax, bx);
    EXPECT_EQ(ay, by);
    EXPECT_EQ(a->node_count, b->node_count);
}

TEST(FixedDepthSearch, ThinkWithoutAMoveFromTheSearchPlaysTheFallback) {
    // An empty board has no candidate: the centre.
    auto empty = new_engine(15);
    give_ample_time(*empty);
    int x = -1, y = -1;
    empty->think(x, y, 3);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 7);
    EXPECT_EQ(empty->move_count, 1);

    // The time already up: a legal move all the same.
    auto late = ready(QUIET_MIDDLE_GAME);
    late->deadline_ms = 0;
    const Point expected = fallback_move(*late);
    const int stones = late->move_count;
    late->think(x, y, 3);
    EXPECT_EQ(x, expected.x - MARGIN);
    EXPECT_EQ(y, expected.y - MARGIN);
    EXPECT_EQ(late->move_count, stones + 1);
}

}  // namespace
}  // namespace vantrel::testing
