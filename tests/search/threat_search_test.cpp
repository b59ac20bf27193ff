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

// clang-format off
// X to move. Two groups, far apart, with the plain fours at the top so that
// the scan meets them before anything in the trap.
//
// The trap, rows 14 to 18: (6,14) makes X's four on row 14 and an open three
// on column 6, a four with an open three. But its five point (7,14) also
// completes O's four on column 7 (five point (7,13)), so O's block comes with
// a four of its own, X must answer at (7,13), and the line ends with nothing
// forced. O's four points (7,13) and (7,14) exist before any move is made.
//
// The plain fours, rows 2 to 7: (11,6) makes a four on column 11 and only a
// closed three on row 6, where O at (7,6) and (13,6) leave no room for an open
// one; O must block at (11,7). Then (8,6) makes a four on row 6 with an open
// three on the diagonal (6,4) (7,5); O's block at (12,6) makes no four, and
// the open three becomes an open four: five on ply 7.
// (9,7) makes two open threes, but with O able to make a four that is no win.
// The lone O stones on the right only even the stone count.
const Picture FOUR_THREE_TRAP_BESIDE_FOURS = {
    "....................",
    ".................O..",
    "...........O........",
    "...........X........",
    "......X....X........",
    ".......X...X.......O",
    ".......O.XX..O......",
    "....................",
    "....................",
    "..................O.",
    "....................",
    "..............O.....",
    "....................",
    "....................",
    "..OXXX..............",
    "......XO............",
    "......XO.........O..",
    ".......O............",
    ".......X............",
    "............O.......",
};
// clang-format on
const Move TRAP_FOUR_THREE = {6, 14};
const Move TRAP_BLOCK = {7, 14};         // X's five point, and O's four
const Move TRAP_COUNTER_FIVE = {7, 13};  // O's five point after the block
const Move FIRST_PLAIN_FOUR = {11, 6};

int status_at(const Engine& e, Move m, int player) {
    return e.cell(m.first + MARGIN, m.second + MARGIN).status[player];
}

TEST(ThreatSearch, FourWithOpenThreeThatFailsLeavesTheWinByPlainFours) {
    auto e = engine_from_picture(FOUR_THREE_TRAP_BESIDE_FOURS);
    give_ample_time(*e);
    ASSERT_EQ(e->side, 0);
    ASSERT_GE(e->status_count[0][STATUS_FOUR_THREE], 1);
    ASSERT_EQ(e->status_count[0][STATUS_FIVE], 0);
    ASSERT_EQ(e->status_count[1][STATUS_FIVE], 0);
    const std::int32_t* o = e->status_count[1];
    ASSERT_GT(o[STATUS_OPEN_FOUR] + o[STATUS_FOUR_THREE] + o[STATUS_FOUR_PLUS] + o[STATUS_FOUR], 0);
    ASSERT_EQ(status_at(*e, TRAP_FOUR_THREE, 0), STATUS_FOUR_THREE);
    ASSERT_EQ(status_at(*e, FIRST_PLAIN_FOUR, 0), STATUS_FOUR_PLUS);

    // The trap as described: O's forced block leaves X facing a five point.
    {
        auto line = engine_from_picture(FOUR_THREE_TRAP_BESIDE_FOURS);
        make_protocol(*line, TRAP_FOUR_THREE);
        ASSERT_EQ(line->status_count[0][STATUS_FIVE], 1);
        ASSERT_EQ(status_at(*line, TRAP_BLOCK, 0), STATUS_FIVE);
        make_protocol(*line, TRAP_BLOCK);
        ASSERT_EQ(line->status_count[1][STATUS_FIVE], 1);
        ASSERT_EQ(status_at(*line, TRAP_COUNTER_FIVE, 1), STATUS_FIVE);
    }

    // No four with an open three wins for X: after each, O to move is not lost.
    {
        auto probe = engine_from_picture(FOUR_THREE_TRAP_BESIDE_FOURS);
        give_ample_time(*probe);
        int tried = 0;
        for (int y = MARGIN; y < probe->board_height + MARGIN; ++y)
            for (int x = MARGIN; x < probe->board_width + MARGIN; ++x) {
                const Cell& c = probe->cell(x, y);
                if (c.state != EMPTY || c.status[0] != STATUS_FOUR_THREE) continue;
                ++tried;
                probe->make(x, y);
                EXPECT_GE(threat_search(*probe), 0) << "after X at (" << x - MARGIN << "," << y - MARGIN << ")";
                probe->undo();
            }
        ASSERT_EQ(tried, e->status_count[0][STATUS_FOUR_THREE]);
    }

    // The outcome check stops after the failed four with an open three.
    EXPECT_EQ(outcome_check(*e), 0);

    const PositionSnapshot before(*e);
    EXPECT_EQ(threat_search(*e), 7);
    EXPECT_STREQ(before.difference(*e), "");
    ASSERT_TRUE(is_stored(*e));
    EXPECT_EQ(slot(*e).value, 7);
    EXPECT_EQ(slot(*e).best_move.x, FIRST_PLAIN_FOUR.first + MARGIN);
    EXPECT_EQ(slot(*e).best_move.y, FIRST_PLAIN_FOUR.second + MARGIN);
}

}  // namespace
}  // namespace vantrel::testing
