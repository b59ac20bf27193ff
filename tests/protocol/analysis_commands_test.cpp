// The analysis GUI's commands through the interpreter, searches played at
// once on the test's thread: whole-word matching, the lines that follow a
// command, positions without a search, the N best moves with their INFO
// blocks, balance, defence and blocked points, and the limits of a search
// that runs until stopped.
#include "protocol/analysis_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "protocol/reply_lines.h"
#include "session.h"

namespace vantrel::testing {
namespace {

// The lines that are neither search info nor analysis lines: what the GUI
// would play or log.
Lines answers(const Lines& out) {
    Lines kept;
    for (const std::string& line : out)
        if (!line.starts_with(SEARCH_INFO_PREFIX) && !is_analysis_line(line)) kept.push_back(line);
    return kept;
}

bool is_listed(const std::vector<BoardPoint>& points, BoardPoint p) {
    return std::any_of(points.begin(), points.end(), [&](BoardPoint b) { return b.x == p.x && b.y == p.y; });
}

BoardPoint point_of(const std::string& text) {
    BoardPoint p;
    EXPECT_EQ(std::sscanf(text.c_str(), "%d,%d", &p.x, &p.y), 2) << text;
    return p;
}

// A session with the brain's own search, each search bounded by depth.
class Analysis : public ::testing::Test {
protected:
    Analysis() : s(create_engine, MoveChooser{}) { s.send("INFO max_depth 6\nINFO timeout_turn 5000\nSTART 15\n"); }
    InlineSession s;
};

// Every line the GUI sends at start-up and around a search, in its orders:
// nothing unknown, no error, no stray move.
TEST(AnalysisCommands, TheGuisOtherLinesAreTakenInSilently) {
    InlineSession s;
    const Lines out = s.send(
        "info thread_num 1\ninfo hash_size 65536\ninfo pondering 0\ninfo vcthread 2\ninfo nbestsym 0\n"
        "info start_depth 5\ninfo usedatabase 1\ninfo database_readonly 0\ninfo caution_factor 2\n"
        "yxshowinfo\nstart 15\nyxstop\n"
        "yxquerydatabaseallt\n7,7,1\nstart 20\ndone\nYXQUERYDATABASEONE\ndone\nyxsetdatabase\nstart 9\n"
        "yxdbcheck\nend\nyxhashdump\nfile\nyxshowforbid\nyxhashclear\n");
    EXPECT_EQ(out, (Lines{std::string(MAX_THREADS_REPLY), "MESSAGE INFO MAX_HASH_SIZE 20", "OK", "FORBID ."}));
    // The lines inside the blocks were not commands.
    EXPECT_EQ(s.front.game.board_width, 15);
    EXPECT_EQ(s.last_flow, Flow::EndOfInput);
}

// "yxblock" must not take "yxblockreset" or "yxblockundo"; the design's
// words still match as prefixes of the first word.
TEST(AnalysisCommands, WholeWordsBeforePrefixes) {
    InlineSession s;
    s.send("yxblock\n1,1\n2,2\ndone\nyxblock\n3,3\n1,1\ndone\n");
    EXPECT_EQ(s.front.blocked.size(), 3u);
    s.send("yxblockundo\n1,1\n9,9\ndone\n");
    ASSERT_EQ(s.front.blocked.size(), 2u);
    EXPECT_TRUE(is_listed(s.front.blocked, {2, 2}));
    EXPECT_TRUE(is_listed(s.front.blocked, {3, 3}));
    s.send("yxblockreset\n");
    EXPECT_TRUE(s.front.blocked.empty());
    EXPECT_EQ(s.send("yxblockresetting\nyxnbestx 3\n"), (Lines{"UNKNOWN command", "UNKNOWN command"}));
    EXPECT_EQ(s.send("START 15\nturn7,7\nbeginning\n"), (Lines{"OK", "0,0", "1,0"}));
}

TEST_F(Analysis, YxboardSetsThePositionWithoutASearchOrReply) {
    EXPECT_EQ(s.send("yxboard\n7,7,2\n6,8,1\n8,8,2\ndone\n"), Lines{});
    EXPECT_EQ(s.front.game.engine->move_count, 3);
    EXPECT_EQ(s.state(7, 7), 0);
    EXPECT_EQ(s.state(6, 8), 1);
    // The side of the stones marked 1 is to move and is the brain's.
    EXPECT_EQ(s.front.game.engine->side, 1);
    EXPECT_EQ(s.front.game.brain_side, 1);
    EXPECT_EQ(s.send("yxboard\n1,1,1\n1,2,3\n"), Lines{"ERROR x,y,who or DONE expected"});
}

// Exactly one move line, placed on the board; with show_detail 3 every
// iteration writes its N blocks in order and the best move, and the move
// played is the last best move written.
TEST_F(Analysis, NBestWritesEveryLineOfEveryIterationThenOneMove) {
    s.send("INFO show_detail 3\nyxboard\n7,7,1\n6,8,2\ndone\n");
    const Lines out = s.send("yxnbest 3\n");
    const Lines moves = answers(out);
    ASSERT_EQ(moves.size(), 1u);
    const BoardPoint played = point_of(moves[0]);
    EXPECT_EQ(s.state(played.x, played.y), 0);
    EXPECT_EQ(s.front.game.engine->move_count, 3);

    int iterations = 0;
    std::string last_best;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (!out[i].starts_with(SEARCH_INFO_PREFIX)) continue;
        ++iterations;
        for (int line = 0; line < 3; ++line) {
            const std::size_t at = i + 1 + 7 * line;
            ASSERT_LT(at + 6, out.size());
            EXPECT_EQ(out[at], "INFO PV " + std::to_string(line));
            EXPECT_EQ(out[at + 1], "INFO NUMPV 3");
            for (int k = 0; k < 7; ++k) EXPECT_TRUE(is_analysis_line(out[at + k])) << out[at + k];
            EXPECT_EQ(out[at + 6], PV_BLOCK_END);
        }
        ASSERT_TRUE(out[i + 22].starts_with("MESSAGE REALTIME BEST ")) << out[i + 22];
        last_best = out[i + 22].substr(22);
        // The first line's best line begins with the best move.
        EXPECT_EQ(out[i + 6].substr(14, last_best.size()), last_best);
    }
    EXPECT_EQ(iterations, 2);  // depths 5 and 6
    EXPECT_EQ(last_best, moves[0]);
}

// A search that runs until stopped has no budget and the deepest iteration
// the engine holds; a depth above it is that depth; tournament settings
// keep the budget.
TEST(AnalysisCommands, UnlimitedSettingsMeanNoBudget) {
    InlineSession s;
    s.send("START 15\nTURN 7,7\n");
    EXPECT_FALSE(s.front.search_request(SearchKind::Turn).until_stopped);
    s.send("INFO timeout_turn 2000000\nINFO timeout_match 100000000\nINFO time_left 100000000\n");
    SearchRequest r = s.front.search_request(SearchKind::Turn);
    EXPECT_TRUE(r.until_stopped);
    EXPECT_EQ(r.max_depth, MAX_SEARCH_DEPTH);
    EXPECT_EQ(s.front.info.timeout_turn.load(), 2000000) << "no budget written back";
    s.send("INFO max_depth 225\n");
    EXPECT_EQ(s.front.search_request(SearchKind::Turn).max_depth, MAX_SEARCH_DEPTH);
    // A match clock that has run down is a clock again.
    s.send("INFO time_left 99999999\n");
    EXPECT_FALSE(s.front.search_request(SearchKind::Turn).until_stopped);
    // Swap2 keeps to a budget under any settings.
    s.send("INFO time_left 100000000\n");
    EXPECT_FALSE(s.front.search_request(SearchKind::Swap2).until_stopped);
}

TEST_F(Analysis, BlockedPointsAreNeverChosen) {
    // The near ends of the opponent's open three, the natural blocks, are
    // blocked: every search answers elsewhere.
    const std::string position = "START 15\nyxboard\n7,7,2\n0,0,1\n7,8,2\n0,2,1\n7,9,2\n1,1,1\ndone\n";
    s.send("yxblock\n7,10\n7,6\ndone\n");
    for (const char* command : {"yxnbest 1\n", "yxnbest 2\n", "yxbalanceone 0\n", "yxsearchdefend\n"}) {
        SCOPED_TRACE(command);
        s.send(position);
        const Lines moves = answers(s.send(command));
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_FALSE(is_listed(s.front.blocked, point_of(moves[0]))) << moves[0];
    }
}

TEST_F(Analysis, BalanceTwoPlacesTheMoveAndTheReply) {
    s.send("yxboard\n7,7,1\n6,8,2\n8,8,1\ndone\n");
    const Lines moves = answers(s.send("yxbalancetwo 0\n"));
    ASSERT_EQ(moves.size(), 1u);
    BoardPoint a, b;
    ASSERT_EQ(std::sscanf(moves[0].c_str(), "%d,%d %d,%d", &a.x, &a.y, &b.x, &b.y), 4) << moves[0];
    EXPECT_EQ(s.state(a.x, a.y), 1);
    EXPECT_EQ(s.state(b.x, b.y), 0);
    EXPECT_EQ(s.front.game.engine->move_count, 5);
}

// The opponent's open three: every move that leaves it open is named lost,
// and the defence played is one of the moves that stop it.
TEST_F(Analysis, DefenceNamesTheLostMovesAndPlaysABlock) {
    s.send("yxboard\n6,7,2\n0,0,1\n7,7,2\n0,14,1\n8,7,2\n14,14,1\ndone\n");
    const Lines out = s.send("yxsearchdefend\n");
    std::vector<BoardPoint> lost;
    for (const std::string& line : out)
        if (line.starts_with("MESSAGE REALTIME LOSE ")) lost.push_back(point_of(line.substr(22)));
    const Lines moves = answers(out);
    ASSERT_EQ(moves.size(), 1u);
    const BoardPoint played = point_of(moves[0]);
    EXPECT_FALSE(is_listed(lost, played));
    EXPECT_TRUE(is_listed({{5, 7}, {9, 7}, {4, 7}, {10, 7}}, played)) << moves[0];
    EXPECT_GT(lost.size(), 5u);
    EXPECT_FALSE(is_listed(lost, {5, 7}));
    EXPECT_FALSE(is_listed(lost, {9, 7}));
}

// The tables: today's size without a setting; hash_size in kilobytes,
// max_memory in bytes less what the rest of the process needs, the smaller
// of the two; a new size at the next START only, and START reusing the
// tables otherwise.
TEST(AnalysisCommands, HashSizeTakesEffectAtTheNextStart) {
    InlineSession s;
    const auto bits = [&](const char* settings) {
        InlineSession t;
        t.send(settings);
        return table_bits_wanted(t.front.info);
    };
    EXPECT_EQ(bits(""), SEARCH_TABLE_BITS);
    EXPECT_EQ(bits("INFO hash_size 65536\n"), 21);  // 64 MB: 2^21 pairs of 32 bytes
    EXPECT_EQ(bits("INFO hash_size 65535\n"), 20);
    // A manager's memory limit alone keeps today's tables, unless they do
    // not fit in it.
    EXPECT_EQ(bits("INFO max_memory 367001600\n"), SEARCH_TABLE_BITS);  // GomocupJudge's 350 MB
    EXPECT_EQ(bits("INFO max_memory 367001600\nINFO hash_size 1048576\n"), 23);
    EXPECT_EQ(bits("INFO max_memory 367001600\nINFO hash_size 16384\n"), 19);
    EXPECT_EQ(bits("INFO max_memory 20971520\n"), 17);  // 20 MB: 4 MB for the tables
    EXPECT_EQ(bits("INFO max_memory 1000\n"), MIN_TABLE_BITS);
    EXPECT_EQ(bits("INFO hash_size 2000000000\n"), MAX_TABLE_BITS);
    EXPECT_EQ(bits("INFO hash_size 0\nINFO max_memory -1\n"), SEARCH_TABLE_BITS);

    s.send("START 15\nTURN 7,7\n");
    const SearchEntry* entries = s.front.tables.search.begin();
    EXPECT_EQ(&s.front.game.engine->hash.tables, &s.front.tables);
    s.send("INFO hash_size 65536\n");
    EXPECT_EQ(s.front.tables.bits(), SEARCH_TABLE_BITS) << "not before the next game";
    s.send("START 15\n");
    EXPECT_EQ(s.front.tables.bits(), 21);
    EXPECT_EQ(s.front.tables.threat.bits(), 21);
    EXPECT_EQ(&s.front.game.engine->hash.tables, &s.front.tables);
    entries = s.front.tables.search.begin();
    s.send("TURN 7,7\nSTART 15\nRESTART\nSTART 20\n");
    EXPECT_EQ(s.front.tables.search.begin(), entries) << "the same tables, not made anew";
}

}  // namespace
}  // namespace vantrel::testing
