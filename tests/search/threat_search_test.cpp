// The threat-sequence search: what it stores and when, its budget, and a win
// by fours that only it (not the outcome check) sees.
#include "search/threat_search.h"

#include <gtest/gtest.h>

#include "board/pattern_tables.h"
#include "search/candidates.h"
#include "search/outcome_check.h"
#include "search_setup.h"
#include "support/position_setup.h"
#include "support/position_snapshot.h"
#include "tactical_positions.h"

namespace vantrel::testing {
namespace {

const ThreatEntry& slot(const Engine& e) { return e.hash.ThreatTable[e.hash.hash_index]; }

bool is_stored(const Engine& e) {
    int value = 0;
    return e.hash.threat_probe(value);
}

void make_protocol(Engine& e, Move m) { e.make(m.first + MARGIN, m.second + MARGIN); }

TEST(ThreatSearch, OwnFivePointIsOneStoredWithoutAMove) {
    auto e = engine_from_picture(OWN_FIVE_POINT);
    give_ample_time(*e);
    const PositionSnapshot before(*e);

    EXPECT_EQ(threat_search(*e), 1);
    EXPECT_STREQ(before.difference(*e), "");
    EXPECT_EQ(e->threat_budget, THREAT_BUDGET - 1);
    int stored = 0;
    ASSERT_TRUE(e->hash.threat_probe(stored));
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(slot(*e).best_move.x, 0);
    EXPECT_EQ(slot(*e).best_move.y, 0);
}

TEST(ThreatSearch, BlockOfTheOpponentsFivePointIsStoredWithItsMappedOutcome) {
    auto e = engine_from_picture(OPPONENT_FIVE_POINT);
    give_ample_time(*e);
    const PositionSnapshot before(*e);

    // After the block nothing is forced for either side.
    EXPECT_EQ(threat_search(*e), 0);
    EXPECT_STREQ(before.difference(*e), "");
    ASSERT_TRUE(is_stored(*e));
    EXPECT_EQ(slot(*e).value, 0);
    EXPECT_EQ(slot(*e).best_move.x, OPPONENT_FIVE.first + MARGIN);
    EXPECT_EQ(slot(*e).best_move.y, OPPONENT_FIVE.second + MARGIN);
}

TEST(ThreatSearch, FindsAWinByThreeFoursThatTheOutcomeCheckMisses) {
    auto e = engine_from_picture(FOURS_WIN);
    give_ample_time(*e);
    ASSERT_EQ(outcome_check(*e), 0);
    const PositionSnapshot before(*e);

    // Four, block, four, block, double four, block, five: ply 7.
    EXPECT_EQ(threat_search(*e), 7);
    EXPECT_STREQ(before.difference(*e), "");
    // The move stored as deciding it is one of X's fours.
    ASSERT_TRUE(is_stored(*e));
    const Point decided = slot(*e).best_move;
    const int status = e->cell(decided.x, decided.y).status[0];
    EXPECT_TRUE(status == STATUS_FOUR || status == STATUS_FOUR_PLUS) << "status " << status;
}

TEST(ThreatSearch, TheHandBuiltLineLeavesTheDefenderOneReplyEachTime) {
    auto e = engine_from_picture(FOURS_WIN);
    for (const auto& [four, block] : FOURS_WIN_LINE) {
        const int status = e->cell(four.first + MARGIN, four.second + MARGIN).status[0];
        EXPECT_TRUE(status == STATUS_FOUR || status == STATUS_FOUR_PLUS) << "status " << status;
        make_protocol(*e, four);
        CandidateList replies;
        generate_candidates(*e, replies);
        ASSERT_EQ(replies.count, 1) << picture_of(*e);
        EXPECT_EQ(replies.entries[0].x, block.first + MARGIN);
        EXPECT_EQ(replies.entries[0].y, block.second + MARGIN);
        make_protocol(*e, block);
    }
    EXPECT_EQ(e->cell(FOURS_WIN_DOUBLE_FOUR.first + MARGIN, FOURS_WIN_DOUBLE_FOUR.second + MARGIN).status[0],
              STATUS_OPEN_FOUR);
    make_protocol(*e, FOURS_WIN_DOUBLE_FOUR);
    EXPECT_EQ(e->status_count[0][STATUS_FIVE], 2);
}

TEST(ThreatSearch, StoredPositionsAnswerWithoutSpendingBudget) {
    auto e = engine_from_picture(FOURS_WIN);
    give_ample_time(*e);
    ASSERT_EQ(threat_search(*e), 7);

    e->threat_budget = 0;
    EXPECT_EQ(threat_search(*e), 7);
    EXPECT_EQ(e->threat_budget, 0);

    // A value planted for a quiet position comes back as it is.
    auto quiet = engine_from_picture(QUIET_MIDDLE_GAME);
    give_ample_time(*quiet);
    quiet->threat_budget = 5;
    quiet->hash.threat_store(-4, 0);
    EXPECT_EQ(threat_search(*quiet), -4);
    EXPECT_EQ(quiet->threat_budget, 5);
}

TEST(ThreatSearch, SpentBudgetAnswersTheOutcomeCheckAndStoresNothing) {
    auto e = engine_from_picture(FOURS_WIN);
    give_ample_time(*e);
    e->threat_budget = 0;

    EXPECT_EQ(threat_search(*e), outcome_check(*e));
    EXPECT_FALSE(is_stored(*e));
    EXPECT_EQ(e->threat_budget, 0);
}

TEST(ThreatSearch, ConclusionsFromASpentBudgetStandUntilANewGame) {
    // Two nodes of budget: the nodes below answer by the outcome check, which
    // cannot see the second and third fours, and the root stores "nothing
    // forced" from those answers.
    auto e = engine_from_picture(FOURS_WIN);
    give_ample_time(*e);
    e->threat_budget = 2;
    EXPECT_EQ(threat_search(*e), 0);
    EXPECT_TRUE(is_stored(*e));

    e->threat_budget = THREAT_BUDGET;
    EXPECT_EQ(threat_search(*e), 0);
}

TEST(ThreatSearch, DeadlinePassingMidSearchStoresNothingOnThePath) {
    auto e = engine_from_picture(FOURS_WIN);
    give_ample_time(*e);
    const PositionSnapshot before(*e);
    // The clock is next read two moves into the search, and the deadline is
    // long past: the search stops below the first four and its block.
    e->deadline_ms = 0;
    e->clock_checked_at = e->node_count - CLOCK_CADENCE + 2;

    EXPECT_EQ(threat_search(*e), 0);
    EXPECT_TRUE(e->time_up);
    EXPECT_STREQ(before.difference(*e), "");
    EXPECT_FALSE(is_stored(*e));
    make_protocol(*e, FOURS_WIN_LINE[0].first);
    EXPECT_FALSE(is_stored(*e));
    e->undo();

    // Nothing wrong was left behind: with time the win is found.
    give_ample_time(*e);
    EXPECT_EQ(threat_search(*e), 7);
}

}  // namespace
}  // namespace vantrel::testing
