// The principal-variation search: its root rules, decided scores below the
// root, the clock flag, the bounds it stores and the following of the
// previous line.
#include "search/pv_search.h"

#include <gtest/gtest.h>

#include <cstring>

#include "search/evaluation.h"
#include "search/fallback_move.h"
#include "search_setup.h"
#include "support/position_setup.h"
#include "support/position_snapshot.h"
#include "tactical_positions.h"

namespace vantrel::testing {
namespace {

std::int32_t pv_of(Move m) { return pv_move(m.first + MARGIN, m.second + MARGIN); }

// A root search as iterative deepening starts it.
int root_search(Engine& e, int depth) {
    give_ample_time(e);
    e.ply = 0;
    e.node_count = 0;
    e.clock_checked_at = 0;
    return pv_search(e, depth, true, -ROOT_WINDOW, ROOT_WINDOW);
}

TEST(PvSearch, RootFivePointIsRecordedAndScoredWithoutSearching) {
    auto e = engine_from_picture(OWN_FIVE_POINT);
    EXPECT_EQ(root_search(*e, 5), WIN_SCORE - 1);
    EXPECT_EQ(e->pv_table.pv[0][0], pv_of(OWN_FIVE));
    EXPECT_EQ(e->node_count, 0);
}

TEST(PvSearch, RootWithASingleCandidateRecordsItAndReturnsTheEvaluation) {
    for (int depth : {1, 5, 12}) {
        auto e = engine_from_picture(OPPONENT_FIVE_POINT);
        e->ply = 0;
        const int expected = evaluate(*e);
        const PositionSnapshot before(*e);
        EXPECT_EQ(root_search(*e, depth), expected) << "depth " << depth;
        EXPECT_EQ(e->pv_table.pv[0][0], pv_of(OPPONENT_FIVE)) << "depth " << depth;
        EXPECT_STREQ(before.difference(*e), "");
    }
}

TEST(PvSearch, DecidedPositionsBelowTheRootScoreByTheirOutcome) {
    // Near the root the threat search decides, deeper the outcome check; both
    // see an open four on ply 3 and two five points of the opponent on ply 2.
    for (int ply : {0, THREAT_SEARCH_PLIES}) {
        auto win = engine_from_picture(OWN_OPEN_THREE);
        give_ample_time(*win);
        win->ply = ply;
        EXPECT_EQ(pv_search(*win, 3, false, -ROOT_WINDOW, ROOT_WINDOW), WIN_SCORE - 3) << "ply " << ply;

        auto loss = engine_from_picture(OWN_OPEN_THREE);
        loss->move(4, 7);  // X makes the open four: O to move faces two five points
        give_ample_time(*loss);
        loss->ply = ply;
        EXPECT_EQ(pv_search(*loss, 3, false, -ROOT_WINDOW, ROOT_WINDOW), -WIN_SCORE + 2) << "ply " << ply;
    }
}

TEST(PvSearch, TimeUpOnEntryReturnsTheEvaluationAndTouchesNothing) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    give_ample_time(*e);
    e->ply = 0;
    e->time_up = true;
    e->pv_table.pv_length[0] = 17;
    const SearchEntry entry = e->hash.SearchTable[e->hash.hash_index];
    const int expected = evaluate(*e);

    EXPECT_EQ(pv_search(*e, 4, true, -ROOT_WINDOW, ROOT_WINDOW), expected);
    EXPECT_EQ(e->pv_table.pv_length[0], 17);
    EXPECT_EQ(std::memcmp(&entry, &e->hash.SearchTable[e->hash.hash_index], sizeof entry), 0);
}

TEST(PvSearch, ReadsTheClockOnceEnoughMovesWereMadeWhateverTheCount) {
    // 5000 moves since the last reading, and 5000 is no multiple of the
    // cadence: the clock is read all the same, the deadline has passed, and
    // the search stops without storing anything.
    auto late = engine_from_picture(QUIET_MIDDLE_GAME);
    give_ample_time(*late);
    late->ply = 0;
    late->deadline_ms = 0;
    late->node_count = 5000;
    late->clock_checked_at = 0;
    const SearchEntry entry = late->hash.SearchTable[late->hash.hash_index];
    pv_search(*late, 2, false, -ROOT_WINDOW, ROOT_WINDOW);
    EXPECT_TRUE(late->time_up);
    EXPECT_EQ(std::memcmp(&entry, &late->hash.SearchTable[late->hash.hash_index], sizeof entry), 0);

    // A reading a few moves ago: not read again yet, the search runs on.
    auto recent = engine_from_picture(QUIET_MIDDLE_GAME);
    give_ample_time(*recent);
    recent->ply = 0;
    recent->deadline_ms = 0;
    recent->node_count = 5000;
    recent->clock_checked_at = 4990;
    pv_search(*recent, 1, false, -ROOT_WINDOW, ROOT_WINDOW);
    EXPECT_FALSE(recent->time_up);
    EXPECT_EQ(recent->hash.SearchTable[recent->hash.hash_index].check1, recent->hash.hash_check1);
}

TEST(PvSearch, FailingLowReturnsAlphaMinusOneAndStoresAnUpperBoundWithoutMove) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    give_ample_time(*e);
    e->ply = 0;
    // No quiet move reaches a won score.
    const int alpha = 20000;
    EXPECT_EQ(pv_search(*e, 2, false, alpha, alpha + 1), alpha - 1);

    const SearchEntry& entry = e->hash.SearchTable[e->hash.hash_index];
    EXPECT_EQ(entry.check1, e->hash.hash_check1);
    EXPECT_EQ(entry.check2, e->hash.hash_check2);
    EXPECT_EQ(entry.flags, BOUND_UPPER);
    EXPECT_EQ(entry.value, alpha - 1);
    EXPECT_EQ(entry.depth, 2);
    EXPECT_EQ(entry.best_move.x, 0);
    EXPECT_EQ(entry.best_move.y, 0);
}

TEST(PvSearch, AMoveScoringExactlyBetaCutsAndStoresALowerBound) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    give_ample_time(*e);
    e->ply = 0;
    const int value = pv_search(*e, 2, false, -ROOT_WINDOW, ROOT_WINDOW);
    const Point best = e->hash.SearchTable[e->hash.hash_index].best_move;
    ASSERT_NE(best.x, 0);

    // Forget what the first search stored, so that the second searches again.
    e->hash.clear();
    EXPECT_EQ(pv_search(*e, 2, false, value - 1, value), value);
    const SearchEntry& entry = e->hash.SearchTable[e->hash.hash_index];
    EXPECT_EQ(entry.flags, BOUND_LOWER);
    EXPECT_EQ(entry.value, value);
    EXPECT_EQ(entry.best_move.x, best.x);
    EXPECT_EQ(entry.best_move.y, best.y);
}

TEST(PvSearch, FollowsThePreviousLineOnlyWhileItsMoveIsACandidate) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    const Point first = fallback_move(*e);
    e->pv_table.pv[0][0] = pv_move(first.x, first.y);
    e->follow_pv = true;
    root_search(*e, 1);
    EXPECT_TRUE(e->follow_pv);

    // The corner is nobody's candidate. (A fresh engine: the first search
    // stored the root, and a table hit would end the search before the
    // candidates.)
    auto f = engine_from_picture(QUIET_MIDDLE_GAME);
    f->pv_table.pv[0][0] = pv_move(MARGIN, MARGIN);
    f->follow_pv = true;
    root_search(*f, 1);
    EXPECT_FALSE(f->follow_pv);
}

TEST(PvSearch, RecordsTheLineBelowBehindTheBestMove) {
    auto e = new_engine(15);
    PvTable& t = e->pv_table;
    e->ply = 2;
    t.pv[3][3] = pv_move(9, 9);
    t.pv[3][4] = pv_move(10, 10);
    t.pv_length[3] = 5;
    pv_record(*e, 8, 8);
    EXPECT_EQ(t.pv[2][2], pv_move(8, 8));
    EXPECT_EQ(t.pv[2][3], pv_move(9, 9));
    EXPECT_EQ(t.pv[2][4], pv_move(10, 10));
    EXPECT_EQ(t.pv_length[2], 5);

    // A stale length beyond the table is never followed past the row's end.
    e->ply = 0;
    t.pv_length[1] = 1000;
    pv_record(*e, 7, 7);
    EXPECT_EQ(t.pv[0][0], pv_move(7, 7));
    EXPECT_EQ(t.pv_length[0], MAX_PLY);
}

}  // namespace
}  // namespace vantrel::testing
