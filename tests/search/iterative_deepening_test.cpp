// Iterative deepening as the worker's turn: tactical answers, its settings and
// deadline, the depth limit, the fallback when nothing was recorded, and
// determinism (no state leaks from one search or game into the next).
#include "search/iterative_deepening.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <utility>
#include <vector>

#include "board/pattern_tables.h"
#include "search/candidates.h"
#include "search/evaluation.h"
#include "search/fallback_move.h"
#include "search/pv_search.h"
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

TEST(IterativeDeepening, SettingsFallBackToTheirDefaultsAndSetTheDeadlineOnTheSteadyClock) {
    auto e = engine_from_picture(OWN_FIVE_POINT);  // every iteration ends at once
    e->turn_time_ms = 0;
    e->max_depth = 0;
    const std::int64_t before = steady_ms();
    iterative_deepening(*e);
    const std::int64_t after = steady_ms();
    EXPECT_EQ(e->turn_time_ms, DEFAULT_TURN_TIME_MS);
    EXPECT_EQ(e->max_depth, DEFAULT_MAX_DEPTH);
    EXPECT_GE(e->deadline_ms, before + DEFAULT_TURN_TIME_MS - STOP_MARGIN_MS);
    EXPECT_LE(e->deadline_ms, after + DEFAULT_TURN_TIME_MS - STOP_MARGIN_MS);

    e->turn_time_ms = 1500;
    const std::int64_t start = steady_ms();
    const DeepeningReport r = iterative_deepening_report(*e);
    EXPECT_GE(e->deadline_ms, start + 1400);
    EXPECT_LE(e->deadline_ms, steady_ms() + 1400);
    EXPECT_EQ(r.depth, DEFAULT_MAX_DEPTH);

    // The caller's stop margin and start of the turn replace the defaults.
    DeepeningOptions options;
    options.stop_margin_ms = 30;
    options.started_ms = start - 200;
    iterative_deepening_report(*e, options);
    EXPECT_EQ(e->deadline_ms, start - 200 + 1500 - 30);
}

TEST(IterativeDeepening, DepthsBeyondThePvTableAreCut) {
    auto e = engine_from_picture(OWN_FIVE_POINT);
    EXPECT_EQ(deepen(*e, 500).depth, MAX_SEARCH_DEPTH);
    EXPECT_EQ(e->max_depth, 500);
}

TEST(IterativeDeepening, ADepthBelowTheFirstIsTheOneIterationSearched) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    std::vector<int> depths;
    DeepeningOptions options;
    options.on_iteration = [&](const IterationReport& it) { depths.push_back(it.depth); };
    e->max_depth = 3;
    e->turn_time_ms = AMPLE_TURN_MS;
    const DeepeningReport r = iterative_deepening_report(*e, options);
    EXPECT_EQ(depths, std::vector<int>{3});
    EXPECT_EQ(r.depth, 3);
    EXPECT_FALSE(r.fallback);
    EXPECT_GT(e->node_count, 0);
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

// An earlier search can leave the row below the root longer than its head;
// a root that answers without searching a child (its five point, its one
// candidate) reports its move alone, never the zeroed rest of that row.
TEST(IterativeDeepening, ARootAnsweredWithoutAChildReportsItsMoveAlone) {
    for (const Picture* picture : {&OWN_FIVE_POINT, &OPPONENT_FIVE_POINT}) {
        auto e = engine_from_picture(*picture);
        e->pv_table.pv_length[1] = 9;
        give_ample_time(*e);
        e->max_depth = TEST_DEPTH;
        DeepeningOptions options;
        int iterations = 0;
        options.on_iteration = [&](const IterationReport& it) {
            ++iterations;
            ASSERT_EQ(it.pv_length, 1);
            EXPECT_NE(it.pv[0], 0);
        };
        iterative_deepening_report(*e, options);
        EXPECT_GT(iterations, 0);
    }
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

// Limits besides the deadline: the node limit, a stop request from another
// thread, and an injected clock. The clock below is a plain function, so its
// state is shared by the tests that use it; each resets it first.
std::int64_t fake_now = 0;
std::int64_t fake_step = 0;
int fake_readings = 0;
int stop_at_reading = -1;
std::atomic<bool> fake_stop{false};

std::int64_t fake_clock() {
    ++fake_readings;
    if (fake_readings == stop_at_reading) fake_stop = true;
    return fake_now += fake_step;
}

void use_fake_clock(Engine& e, std::int64_t now, std::int64_t step) {
    fake_now = now;
    fake_step = step;
    fake_readings = 0;
    stop_at_reading = -1;
    fake_stop = false;
    e.clock = fake_clock;
}

TEST(SearchLimits, TheDeadlineIsKeptOnTheSearchClockAlone) {
    // A clock that stands still never reaches the deadline, however short
    // the budget: nothing else the search might read can stop it.
    auto frozen = engine_from_picture(QUIET_MIDDLE_GAME);
    use_fake_clock(*frozen, 5000000, 0);
    frozen->max_depth = TEST_DEPTH;
    frozen->turn_time_ms = 1;
    DeepeningOptions no_margin;
    no_margin.stop_margin_ms = 0;
    const DeepeningReport r = iterative_deepening_report(*frozen, no_margin);
    EXPECT_EQ(frozen->deadline_ms, 5000001);
    EXPECT_EQ(r.depth, TEST_DEPTH);
    EXPECT_FALSE(frozen->time_up);

    // A clock that runs a second per reading is past a 3-second deadline at
    // its fourth reading (the start, the root, then every CLOCK_CADENCE
    // moves): the search stops there.
    auto fast = engine_from_picture(QUIET_MIDDLE_GAME);
    use_fake_clock(*fast, 0, 1000);
    fast->max_depth = TEST_DEPTH + 4;
    fast->turn_time_ms = 3000;
    iterative_deepening_report(*fast, no_margin);
    EXPECT_TRUE(fast->time_up);
    EXPECT_EQ(fake_readings, 4);
}

TEST(SearchLimits, AStopRequestEndsTheSearchAtTheNextClockReading) {
    std::atomic<bool> stop{true};
    auto at_once = engine_from_picture(QUIET_MIDDLE_GAME);
    at_once->stop_request = &stop;
    const DeepeningReport none = deepen(*at_once, TEST_DEPTH);
    EXPECT_TRUE(at_once->time_up);
    EXPECT_TRUE(none.fallback);
    EXPECT_TRUE(on_empty_cell(*at_once, none.move));

    // Requested during the search, after the first iteration: the next
    // reading (the root of the second) stops it, and the move recorded so far
    // is played.
    auto later = engine_from_picture(QUIET_MIDDLE_GAME);
    use_fake_clock(*later, 0, 0);
    later->stop_request = &fake_stop;
    std::vector<int> depths;
    DeepeningOptions options;
    options.on_iteration = [&](const IterationReport& it) {
        depths.push_back(it.depth);
        stop_at_reading = fake_readings + 1;
    };
    const DeepeningReport r = [&] {
        later->max_depth = TEST_DEPTH + 4;
        later->turn_time_ms = AMPLE_TURN_MS;
        return iterative_deepening_report(*later, options);
    }();
    EXPECT_TRUE(later->time_up);
    EXPECT_EQ(depths, std::vector<int>{FIRST_DEPTH});
    EXPECT_EQ(r.depth, FIRST_DEPTH);
    EXPECT_FALSE(r.fallback);
}

Outcome search_with_node_limit(const Picture& picture, int depth, std::int32_t limit) {
    auto e = engine_from_picture(picture);
    e->node_limit = limit;
    const DeepeningReport r = deepen(*e, depth);
    EXPECT_EQ(e->time_up, limit != std::numeric_limits<std::int32_t>::max());
    return {r.move, e->node_count};
}

TEST(SearchLimits, TheNodeLimitStopsAtTheSameNodeEveryRun) {
    const Outcome full =
        search_with_node_limit(QUIET_MIDDLE_GAME, TEST_DEPTH, std::numeric_limits<std::int32_t>::max());
    const std::int32_t limit = full.nodes / 2;
    const Outcome a = search_with_node_limit(QUIET_MIDDLE_GAME, TEST_DEPTH, limit);
    const Outcome b = search_with_node_limit(QUIET_MIDDLE_GAME, TEST_DEPTH, limit);
    EXPECT_EQ(a.nodes, b.nodes);
    EXPECT_EQ(a.move.x, b.move.x);
    EXPECT_EQ(a.move.y, b.move.y);
    EXPECT_GE(a.nodes, limit);
    EXPECT_LT(a.nodes, full.nodes);
}

TEST(SearchLimits, AFirstIterationCutShortPlaysItsRecordedRootMove) {
    auto probe = engine_from_picture(QUIET_MIDDLE_GAME);
    deepen(*probe, FIRST_DEPTH);
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    e->node_limit = probe->node_count - probe->node_count / 10;
    const DeepeningReport r = deepen(*e, FIRST_DEPTH);
    EXPECT_TRUE(e->time_up);
    EXPECT_EQ(r.depth, 0);
    EXPECT_FALSE(r.fallback);
    EXPECT_TRUE(on_empty_cell(*e, r.move));
    EXPECT_EQ(e->pv_table.pv[0][0], pv_move(r.move.x + MARGIN, r.move.y + MARGIN));
}

TEST(SearchLimits, EveryCompletedIterationIsReportedWithItsLine) {
    auto e = engine_from_picture(QUIET_MIDDLE_GAME);
    std::vector<IterationReport> seen;
    std::vector<std::int32_t> first_moves;
    DeepeningOptions options;
    options.on_iteration = [&](const IterationReport& it) {
        seen.push_back(it);
        ASSERT_GT(it.pv_length, 0);
        first_moves.push_back(it.pv[0]);
    };
    e->max_depth = TEST_DEPTH + 1;
    e->turn_time_ms = AMPLE_TURN_MS;
    const DeepeningReport r = iterative_deepening_report(*e, options);
    ASSERT_EQ(seen.size(), 3u);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].depth, FIRST_DEPTH + static_cast<int>(i));
        if (i > 0) {
            EXPECT_GE(seen[i].nodes, seen[i - 1].nodes);
        }
    }
    EXPECT_EQ(seen.back().score, r.score);
    EXPECT_EQ(seen.back().nodes, e->node_count);
    EXPECT_EQ(first_moves.back(), pv_move(r.move.x + MARGIN, r.move.y + MARGIN));
}

}  // namespace
}  // namespace vantrel::testing
