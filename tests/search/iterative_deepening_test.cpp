// Iterative deepening as the worker's turn: tactical answers, its settings and
// deadline, the depth limit, the fallback when nothing was recorded, and
// determinism (no state leaks from one search or game into the next).
#include "search/iterative_deepening.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "board/pattern_tables.h"
#include "search/candidates.h"
#include "search/evaluation.h"
#include "search/fallback_move.h"
#include "search/threat_search.h"
#include "search_setup.h"
#include "support/position_setup.h"
#include "support/position_snapshot.h"
#include "tactical_positions.h"

namespace vantrel::testing {
namespace {

// Small enough to keep the suite quick, deep enough for every tactic here.
constexpr int TEST_DEPTH = 6;

bool is_move(BoardPoint p, Move m) { return p.x == m.first && p.y == m.second; }

bool on_empty_cell(const Engine& e, BoardPoint p) { return playable_empty(e, p.x + MARGIN, p.y + MARGIN); }

TEST(IterativeDeepening, PlaysItsOwnFivePointAtOnce) {
    auto e = engine_from_picture(OWN_FIVE_POINT);
    const DeepeningReport r = deepen(*e, TEST_DEPTH);
    EXPECT_TRUE(is_move(r.move, OWN_FIVE));
    EXPECT_EQ(r.score, WIN_SCORE - 1);
    EXPECT_EQ(e->node_count, 0);
}

TEST(IterativeDeepening, BlocksTheOpponentsOnlyFivePoint) {
    auto e = engine_from_picture(OPPONENT_FIVE_POINT);
    EXPECT_TRUE(is_move(deepen(*e, TEST_DEPTH).move, OPPONENT_FIVE));
}

TEST(IterativeDeepening, MakesAnOpenFourWhenItWins) {
    auto e = engine_from_picture(OWN_OPEN_THREE);
    const DeepeningReport r = deepen(*e, TEST_DEPTH);
    EXPECT_EQ(e->cell(r.move.x + MARGIN, r.move.y + MARGIN).status[0], STATUS_OPEN_FOUR);
    EXPECT_GE(r.score, WIN_SCORE - 3);
}

TEST(IterativeDeepening, BlocksAFiveBeforeMakingAnOpenFour) {
    auto e = engine_from_picture(OPEN_THREE_AGAINST_FOUR);
    EXPECT_TRUE(is_move(deepen(*e, TEST_DEPTH).move, OPEN_THREE_AGAINST_FOUR_BLOCK));
}

TEST(IterativeDeepening, PlaysTheSequenceOfFoursThroughToFive) {
    auto e = engine_from_picture(FOURS_WIN);
    // Both sides play by iterative deepening; X must make five by its fourth
    // move, every move of X's a four and every reply of O's the only block.
    for (int ply = 0; ply < 7; ++ply) {
        const int mover = e->side;
        if (mover == 1) {
            CandidateList replies;
            generate_candidates(*e, replies);
            EXPECT_EQ(replies.count, 1) << "ply " << ply << "\n" << picture_of(*e);
        }
        const DeepeningReport r = deepen(*e, FIRST_DEPTH);
        ASSERT_TRUE(on_empty_cell(*e, r.move)) << "ply " << ply;
        const int status = e->cell(r.move.x + MARGIN, r.move.y + MARGIN).status[mover];
        if (mover == 0) {
            EXPECT_GE(r.score, WIN_SCORE - 7) << "ply " << ply;
            EXPECT_GE(status, STATUS_FOUR) << "ply " << ply;
        }
        e->move(r.move.x, r.move.y);
        if (mover == 0 && status == STATUS_FIVE) {
            EXPECT_EQ(ply, 6) << "five on ply " << ply + 1;
            return;
        }
    }
    FAIL() << "no five by ply 7\n" << picture_of(*e);
}

TEST(IterativeDeepening, SettingsFallBackToTheirDefaultsAndSetTheDeadline) {
    auto e = engine_from_picture(OWN_FIVE_POINT);  // every iteration ends at once
    e->turn_time_ms = 0;
    e->max_depth = 1;
    const std::int64_t before = clock_ms();
    iterative_deepening(*e);
    const std::int64_t after = clock_ms();
    EXPECT_EQ(e->turn_time_ms, DEFAULT_TURN_TIME_MS);
    EXPECT_EQ(e->max_depth, DEFAULT_MAX_DEPTH);
    EXPECT_GE(e->deadline_ms, before + DEFAULT_TURN_TIME_MS - STOP_MARGIN_MS);
    EXPECT_LE(e->deadline_ms, after + DEFAULT_TURN_TIME_MS - STOP_MARGIN_MS);

    e->turn_time_ms = 1500;
    const std::int64_t start = clock_ms();
    const DeepeningReport r = iterative_deepening_report(*e);
    EXPECT_GE(e->deadline_ms, start + 1400);
    EXPECT_LE(e->deadline_ms, clock_ms() + 1400);
    EXPECT_EQ(r.depth, DEFAULT_MAX_DEPTH);
}

TEST(IterativeDeepening, DepthsBeyondThePvTableAreCut) {
    auto e = engine_from_picture(OWN_FIVE_POINT);
    EXPECT_EQ(deepen(*e, 500).depth, MAX_SEARCH_DEPTH);
    EXPECT_EQ(e->max_depth, 500);
}

TEST(IterativeDeepening, BelowTheFirstDepthNothingIsSearchedAndTheFallbackAnswers) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    const DeepeningReport r = deepen(*e, FIRST_DEPTH - 1);
    EXPECT_EQ(r.depth, 0);
    EXPECT_TRUE(r.fallback);
    EXPECT_EQ(e->node_count, 0);
    const Point expected = fallback_move(*e);
    EXPECT_EQ(r.move.x, expected.x - MARGIN);
    EXPECT_EQ(r.move.y, expected.y - MARGIN);
}

TEST(IterativeDeepening, ADeadlineAlreadyPassedAnswersTheFirstCandidate) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    e->ply = 0;  // as the search leaves it
    const PositionSnapshot before(*e);
    e->max_depth = TEST_DEPTH;
    e->turn_time_ms = 1;  // the deadline lies 99 ms in the past
    const DeepeningReport r = iterative_deepening_report(*e);
    EXPECT_TRUE(e->time_up);
    EXPECT_TRUE(r.fallback);
    EXPECT_STREQ(before.difference(*e), "");
    ASSERT_TRUE(on_empty_cell(*e, r.move));
    CandidateList list;
    generate_candidates(*e, list);
    sort_candidates(list);
    ASSERT_GT(list.count, 0);
    EXPECT_EQ(r.move.x, list.entries[0].x - MARGIN);
    EXPECT_EQ(r.move.y, list.entries[0].y - MARGIN);
}

TEST(IterativeDeepening, AnEmptyBoardAnswersItsCentre) {
    auto square15 = new_engine(15);
    EXPECT_TRUE(is_move(deepen(*square15, TEST_DEPTH).move, Move{7, 7}));
    auto square20 = new_engine(20);
    EXPECT_TRUE(is_move(deepen(*square20, TEST_DEPTH).move, Move{10, 10}));
    auto rectangle = new_engine(20, 9);
    EXPECT_TRUE(is_move(deepen(*rectangle, TEST_DEPTH).move, Move{10, 4}));
}

TEST(IterativeDeepening, TheLastEmptyCellIsPlayedAndAFullBoardYieldsNoPoint) {
    // 5 x 5, no five anywhere, one empty cell.
    auto e = engine_from_picture({
        "XXOOX",
        "OOXXO",
        "XXOOX",
        "OOXXO",
        "XXOO.",
    });
    const BoardPoint last = deepen(*e, TEST_DEPTH).move;
    EXPECT_TRUE(is_move(last, Move{4, 4}));
    e->move(last.x, last.y);
    const DeepeningReport none = deepen(*e, TEST_DEPTH);
    EXPECT_EQ(none.move.x, -1);
    EXPECT_EQ(none.move.y, -1);
}

TEST(IterativeDeepening, LeavesNoBoundBehindButKeepsTheStoredMoves) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    const BoardPoint answer = deepen(*e, TEST_DEPTH).move;
    for (const SearchEntry& entry : e->hash.SearchTable) ASSERT_EQ(entry.flags, 0);
    int x = 0, y = 0;
    ASSERT_TRUE(e->hash.stored_move(x, y));
    EXPECT_EQ(x, answer.x + MARGIN);
    EXPECT_EQ(y, answer.y + MARGIN);
}

struct Outcome {
    BoardPoint move;
    int nodes;
};

Outcome search_picture(Engine& e, const Picture& picture, int depth) {
    auto fresh = engine_from_picture(picture);  // the moves in the same order
    e.reset_rectangle(fresh->board_width, fresh->board_height);
    for (int i = 0; i < fresh->move_count; ++i) e.move(fresh->history[i].x - MARGIN, fresh->history[i].y - MARGIN);
    const DeepeningReport r = deepen(e, depth);
    return {r.move, e.node_count};
}

TEST(IterativeDeepening, SameSearchSameMoveAndNodes) {
    auto first = new_engine(15);
    auto second = new_engine(15);
    const Outcome a = search_picture(*first, QUIET_MIDDLE_GAME, TEST_DEPTH + 1);
    const Outcome b = search_picture(*second, QUIET_MIDDLE_GAME, TEST_DEPTH + 1);
    EXPECT_EQ(a.move.x, b.move.x);
    EXPECT_EQ(a.move.y, b.move.y);
    EXPECT_EQ(a.nodes, b.nodes);
    EXPECT_GT(a.nodes, 0);
}

TEST(IterativeDeepening, ANewGameRepeatsTheFirstGamesSearch) {
    auto e = new_engine(15);
    const Outcome first = search_picture(*e, QUIET_MIDDLE_GAME, TEST_DEPTH);
    // Another game in between fills the tables and the PV table.
    search_picture(*e, FOURS_WIN, TEST_DEPTH);
    search_picture(*e, OWN_OPEN_THREE, TEST_DEPTH);
    const Outcome again = search_picture(*e, QUIET_MIDDLE_GAME, TEST_DEPTH);
    EXPECT_EQ(first.move.x, again.move.x);
    EXPECT_EQ(first.move.y, again.move.y);
    EXPECT_EQ(first.nodes, again.nodes);
}

// A game of self-play at a fixed depth: every move and node count, from the
// opening on a fresh board. The tables carry over from move to move, as in a
// real game, so a leak between games would show as a different count.
std::vector<std::pair<BoardPoint, int>> self_play(Engine& e, int size, int plies, int depth) {
    e.reset(size);
    e.move(size / 2, size / 2);
    std::vector<std::pair<BoardPoint, int>> game;
    for (int i = 0; i < plies; ++i) {
        const DeepeningReport r = deepen(e, depth);
        EXPECT_TRUE(on_empty_cell(e, r.move)) << "ply " << i;
        if (!on_empty_cell(e, r.move)) break;
        game.push_back({r.move, e.node_count});
        e.move(r.move.x, r.move.y);
    }
    return game;
}

TEST(IterativeDeepening, TheSameGameTwiceAndAfterARestartGivesTheSameMoves) {
    constexpr int PLIES = 12;
    auto first = new_engine(15);
    auto second = new_engine(15);
    const auto a = self_play(*first, 15, PLIES, TEST_DEPTH);
    const auto b = self_play(*second, 15, PLIES, TEST_DEPTH);
    const auto again = self_play(*first, 15, PLIES, TEST_DEPTH);  // a new game on a used engine
    ASSERT_EQ(a.size(), static_cast<std::size_t>(PLIES));
    ASSERT_EQ(b.size(), a.size());
    ASSERT_EQ(again.size(), a.size());
    for (int i = 0; i < PLIES; ++i) {
        EXPECT_TRUE(a[i].first.x == b[i].first.x && a[i].first.y == b[i].first.y) << "ply " << i;
        EXPECT_EQ(a[i].second, b[i].second) << "ply " << i;
        EXPECT_TRUE(a[i].first.x == again[i].first.x && a[i].first.y == again[i].first.y) << "ply " << i;
        EXPECT_EQ(a[i].second, again[i].second) << "ply " << i;
    }
}

}  // namespace
}  // namespace vantrel::testing
