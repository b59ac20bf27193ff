// The real brain and the clock: while a turn is searched, the end of input
// ends it at once without the move, END lets the move out first, ABOUT, INFO
// and unknown lines are answered before the move, and YXSTOP brings the move
// at once. Every reply comes within the manager's turn limit, also when the
// match clock runs down to a few hundred milliseconds. Search info lines
// come before the move and name it first in their line.
//
// Under the sanitizers (VANTREL_SANITIZER_BUILD set) the brain runs many
// times slower, so reply times are printed but not held to the limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/brain_process.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto REPLY_WAIT = 5000ms;
constexpr auto EXIT_WAIT = 5000ms;
constexpr auto LATE_REPLY_GRACE = 5000ms;

bool sanitized_build() { return std::getenv("VANTREL_SANITIZER_BUILD") != nullptr; }

long long ms_since(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

std::optional<std::pair<int, int>> parse_point(const std::optional<std::string>& line, int size) {
    int x = -1, y = -1;
    char tail = 0;
    if (!line || std::sscanf(line->c_str(), "%d,%d%c", &x, &y, &tail) != 2) return std::nullopt;
    if (x < 0 || x >= size || y < 0 || y >= size) return std::nullopt;
    return std::pair{x, y};
}

bool is_move(const std::optional<std::string>& line, int size) { return parse_point(line, size).has_value(); }

// A quiet middle game on 20 x 20, the brain's stones marked 1: nothing is
// forced for either side, so every turn is searched to its limit.
const std::vector<std::string> MIDDLE_GAME = {
    "8,8,2",  "9,11,1", "10,8,2", "7,9,1", "7,7,2",  "9,8,1",  "9,9,2", "10,10,1", "8,10,2",
    "11,7,1", "11,9,2", "8,9,1",  "6,7,2", "10,7,1", "7,10,2", "9,7,1", "12,7,2",
};

void send_middle_game(BrainProcess& brain) {
    brain.send("BOARD");
    for (const std::string& stone : MIDDLE_GAME) brain.send(stone);
    brain.send("DONE");
}

// The opponent's next stone: the first free point in scan order from the
// corner, away from the play, on even rows and columns only, so that its
// stones never make a line that would force the brain's reply.
std::string next_opponent_move(std::set<std::pair<int, int>>& taken) {
    for (int y = 0;; y += 2)
        for (int x = 0; x < 20; x += 2)
            if (taken.insert({x, y}).second) return std::to_string(x) + "," + std::to_string(y);
}

std::set<std::pair<int, int>> middle_game_points() {
    std::set<std::pair<int, int>> taken;
    for (const std::string& stone : MIDDLE_GAME) {
        int x = 0, y = 0, who = 0;
        std::sscanf(stone.c_str(), "%d,%d,%d", &x, &y, &who);
        taken.insert({x, y});
    }
    return taken;
}

class EndToEndDuringATurn : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(brain.start()); }
    std::string reply() { return brain.read_reply(REPLY_WAIT).value_or("<no reply>"); }
    // A turn searched to its full budget: the second stone of a game on an
    // empty 20 x 20 board, the design's 4000 ms capped by the manager.
    void start_long_turn() {
        brain.send("INFO timeout_turn 1500");
        brain.send("START 20");
        ASSERT_EQ(reply(), "OK");
        brain.send("TURN 10,10");
        turn_started = Clock::now();
    }
    BrainProcess brain;
    Clock::time_point turn_started;
};

TEST_F(EndToEndDuringATurn, EndOfInputEndsAtOnceWithoutAMove) {
    start_long_turn();
    std::this_thread::sleep_for(200ms);
    brain.close_input();
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
    EXPECT_LT(ms_since(turn_started), 1000) << "ended before the turn's budget was used";
    // Search info lines may have come; the move never does.
    EXPECT_EQ(brain.read_reply(100ms), std::nullopt);
    EXPECT_TRUE(brain.output_ended());
    EXPECT_EQ(brain.pending_output(), "");
}

TEST_F(EndToEndDuringATurn, EndWritesTheMoveThenExits) {
    start_long_turn();
    brain.send("END");
    EXPECT_TRUE(is_move(brain.read_reply(REPLY_WAIT), 20));
    // The search was not cut short: it ran to its budget, less the reserve.
    EXPECT_GE(ms_since(turn_started), 1000);
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
    EXPECT_EQ(brain.read_line(100ms), std::nullopt);
}

TEST_F(EndToEndDuringATurn, AboutAndInfoAreAnsweredBeforeTheMove) {
    start_long_turn();
    brain.send("ABOUT");
    brain.send("INFO timeout_turn 0");
    brain.send("hello");
    EXPECT_EQ(reply().substr(0, 14), "name=\"Vantrel\"");
    EXPECT_EQ(reply(), "UNKNOWN command");
    EXPECT_LT(ms_since(turn_started), 700);
    EXPECT_TRUE(is_move(brain.read_reply(REPLY_WAIT), 20));
    // The INFO counts from the next turn on: a minimal search.
    const auto sent = Clock::now();
    brain.send("TURN 11,11");
    EXPECT_TRUE(is_move(brain.read_reply(REPLY_WAIT), 20));
    EXPECT_LT(ms_since(sent), 1000);
    brain.send("END");
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
}

TEST_F(EndToEndDuringATurn, YxstopBringsTheMoveAtOnceAndIsIgnoredBetweenTurns) {
    // Between turns: no reply, and the next turn is not cut short by it (its
    // first iteration completes, which a stopped search would not).
    brain.send("START 20");
    ASSERT_EQ(reply(), "OK");
    brain.send("YXSTOP");
    EXPECT_EQ(brain.read_line(100ms), std::nullopt);
    // A shallow iteration, quick also in sanitizer builds, under a long limit.
    brain.send("INFO timeout_turn 20000");
    brain.send("INFO max_depth 2");
    send_middle_game(brain);
    const auto first = brain.read_line(REPLY_WAIT);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->starts_with("MESSAGE depth ")) << *first;
    EXPECT_TRUE(is_move(brain.read_reply(REPLY_WAIT), 20));

    // During a turn with a budget of seconds: the move comes at once.
    brain.send("INFO max_depth 0");
    brain.send("TURN 0,0");
    std::this_thread::sleep_for(300ms);
    brain.send("YXSTOP");
    const auto stopped = Clock::now();
    EXPECT_TRUE(is_move(brain.read_reply(REPLY_WAIT), 20));
    const long long latency = ms_since(stopped);
    std::printf("[ yxstop ] move %lld ms after YXSTOP\n", latency);
    if (!sanitized_build()) {
        EXPECT_LT(latency, 500);
    }
    brain.send("END");
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
}

TEST_F(EndToEndDuringATurn, SearchInfoLinesFollowTheDepthLimitAndNameTheMove) {
    // A depth-6 search of a quiet game can outlast the reply wait under the
    // sanitizers; the plain build holds it.
    if (sanitized_build()) GTEST_SKIP() << "too slow under the sanitizers";
    brain.send("INFO max_depth 6");
    brain.send("START 20");
    ASSERT_EQ(reply(), "OK");
    send_middle_game(brain);
    std::vector<std::string> info;
    std::optional<std::string> line;
    while ((line = brain.read_line(REPLY_WAIT)) && line->starts_with("MESSAGE")) info.push_back(*line);
    ASSERT_TRUE(is_move(line, 20));
    ASSERT_EQ(info.size(), 2u);
    int depth[2] = {}, score = 0;
    long long nodes = 0, nps = 0, time = 0;
    char pv_first[16] = {};
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(std::sscanf(info[i].c_str(), "MESSAGE depth %d score %d nodes %lld nps %lld time %lld pv %15s",
                              &depth[i], &score, &nodes, &nps, &time, pv_first),
                  6)
            << info[i];
    EXPECT_EQ(depth[0], 5);
    EXPECT_EQ(depth[1], 6);
    EXPECT_EQ(std::string(pv_first), *line);
    brain.send("END");
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
}

TEST(EndToEndNodeLimit, TheSameSettingsGiveTheSameMoveEveryRun) {
    std::string moves[2];
    for (std::string& move : moves) {
        BrainProcess brain;
        ASSERT_TRUE(brain.start());
        brain.send("INFO max_node 30000");
        brain.send("START 20");
        ASSERT_EQ(brain.read_reply(REPLY_WAIT), "OK");
        send_middle_game(brain);
        move = brain.read_reply(REPLY_WAIT).value_or("<no reply>");
        EXPECT_TRUE(is_move(move, 20)) << move;
        brain.send("END");
        EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
    }
    EXPECT_EQ(moves[0], moves[1]);
}

// A few searched turns of a middle game under the manager's turn limit.
class EndToEndTurnLimit : public ::testing::TestWithParam<int> {};

TEST_P(EndToEndTurnLimit, EveryReplyComesWithinTheLimit) {
    const int limit = GetParam();
    BrainProcess brain;
    ASSERT_TRUE(brain.start());
    brain.send("INFO timeout_turn " + std::to_string(limit));
    brain.send("INFO time_left 2147483647");
    brain.send("START 20");
    ASSERT_EQ(brain.read_reply(REPLY_WAIT), "OK");
    std::set<std::pair<int, int>> taken = middle_game_points();
    long long slowest = 0;
    for (int turn = 0; turn < 4; ++turn) {
        if (turn == 0)
            send_middle_game(brain);
        else
            brain.send("TURN " + next_opponent_move(taken));
        const auto sent = Clock::now();
        const auto move = parse_point(brain.read_reply(std::chrono::milliseconds(limit) + LATE_REPLY_GRACE), 20);
        const long long took = ms_since(sent);
        ASSERT_TRUE(move.has_value()) << "turn " << turn;
        EXPECT_TRUE(taken.insert(*move).second) << "turn " << turn << ": an occupied point";
        slowest = std::max(slowest, took);
        if (!sanitized_build()) {
            EXPECT_LE(took, limit) << "turn " << turn;
        }
    }
    std::printf("[ turn limit ] %d ms: slowest reply %lld ms\n", limit, slowest);
    brain.send("END");
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
}

INSTANTIATE_TEST_SUITE_P(Limits, EndToEndTurnLimit, ::testing::Values(100, 300, 1000),
                         [](const auto& info) { return std::to_string(info.param) + "ms"; });

// A game against a fixed opponent with a match clock of 3 seconds: the
// manager sends the time left before every turn, and every reply must come
// within it and within the turn limit, down to the last few hundred
// milliseconds.
TEST(EndToEndMatchClock, EveryReplyComesWithinTheTimeLeft) {
    constexpr int TURN_LIMIT = 1000;
    constexpr int MATCH_MS = 3000;
    constexpr int TURNS = 20;
    BrainProcess brain;
    ASSERT_TRUE(brain.start());
    brain.send("INFO timeout_turn " + std::to_string(TURN_LIMIT));
    brain.send("INFO timeout_match " + std::to_string(MATCH_MS));
    brain.send("START 20");
    ASSERT_EQ(brain.read_reply(REPLY_WAIT), "OK");
    std::set<std::pair<int, int>> taken = middle_game_points();
    long long time_left = MATCH_MS;
    for (int turn = 0; turn < TURNS; ++turn) {
        brain.send("INFO time_left " + std::to_string(time_left));
        if (turn == 0)
            send_middle_game(brain);
        else
            brain.send("TURN " + next_opponent_move(taken));
        const auto sent = Clock::now();
        const auto move = parse_point(brain.read_reply(std::chrono::milliseconds(TURN_LIMIT) + LATE_REPLY_GRACE), 20);
        const long long took = ms_since(sent);
        ASSERT_TRUE(move.has_value()) << "turn " << turn;
        EXPECT_TRUE(taken.insert(*move).second) << "turn " << turn << ": an occupied point";
        if (!sanitized_build()) {
            EXPECT_LE(took, std::min<long long>(TURN_LIMIT, time_left)) << "turn " << turn;
        }
        time_left -= took;
    }
    std::printf("[ match clock ] %lld ms of %d left after %d turns\n", time_left, MATCH_MS, TURNS);
    if (!sanitized_build()) {
        EXPECT_GT(time_left, 0);
    }
    brain.send("END");
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
}

}  // namespace
}  // namespace vantrel::testing
