// The real pbrain-vantrel driven through pipes: what only the whole process
// shows. A short game by hand, input arriving in pieces, CR LF, very long
// lines, random bytes, and reply times against the manager's limits.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/brain_process.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous: sanitizer builds on a loaded machine are slow to start.
constexpr auto REPLY_WAIT = 5000ms;
constexpr auto EXIT_WAIT = 5000ms;

long long ms_since(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// A move reply "x,y" inside a width x height board, or none.
std::optional<std::pair<int, int>> parse_move(const std::optional<std::string>& line, int width, int height) {
    if (!line) return std::nullopt;
    int x = -1, y = -1;
    char tail = 0;
    if (std::sscanf(line->c_str(), "%d,%d%c", &x, &y, &tail) != 2) return std::nullopt;
    if (x < 0 || x >= width || y < 0 || y >= height) return std::nullopt;
    return std::pair{x, y};
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(brain.start()) << brain_path(); }

    std::string line() { return brain.read_reply(REPLY_WAIT).value_or("<no reply>"); }

    // Ends the brain with END and checks that it exits cleanly with nothing
    // more to say.
    void finish() {
        brain.send("END");
        EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
        EXPECT_EQ(brain.read_line(100ms), std::nullopt);
        EXPECT_TRUE(brain.output_ended());
    }

    BrainProcess brain;
};

// The first steps of a new user: START 15 and BEGIN give OK and 7,7, then a
// short game by hand in which every answer is a free point of the board.
TEST_F(EndToEnd, ShortGameByHand) {
    brain.send("INFO timeout_turn 300");
    brain.send("START 15");
    EXPECT_EQ(line(), "OK");
    brain.send("BEGIN");
    EXPECT_EQ(line(), "7,7");
    bool taken[15][15] = {};
    taken[7][7] = true;
    const std::pair<int, int> mine[] = {{8, 8}, {6, 8}, {9, 5}, {2, 2}, {12, 3}};
    for (auto [x, y] : mine) {
        if (taken[x][y]) continue;
        taken[x][y] = true;
        brain.send("TURN " + std::to_string(x) + "," + std::to_string(y));
        const auto reply = brain.read_reply(REPLY_WAIT);
        const auto move = parse_move(reply, 15, 15);
        ASSERT_TRUE(move) << reply.value_or("<no reply>");
        EXPECT_FALSE(taken[move->first][move->second]) << *reply;
        taken[move->first][move->second] = true;
    }
    finish();
}

TEST_F(EndToEnd, CommandSplitAcrossSeveralWrites) {
    for (const char* piece : {"STA", "RT 1", "5", "\nBEG", "I", "N\n"}) {
        ASSERT_TRUE(brain.send_raw(piece));
        std::this_thread::sleep_for(30ms);
    }
    EXPECT_EQ(line(), "OK");
    EXPECT_EQ(line(), "7,7");
    // A line feed alone in its own write ends the line before it.
    brain.send_raw("ABOUT");
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(brain.read_line(50ms), std::nullopt) << "nothing before the line feed";
    brain.send_raw("\r");
    std::this_thread::sleep_for(30ms);
    brain.send_raw("\n");
    EXPECT_EQ(line().substr(0, 14), "name=\"Vantrel\"");
    finish();
}

TEST_F(EndToEnd, CrLfLinesBehaveLikeLfLines) {
    brain.send_raw("INFO timeout_turn 0\r\nSTART 15\r\nBEGIN\r\nTURN 3,3\r\nPLAY 3,3\r\nboard\r\n1,1,2\r\ndone\r\n");
    EXPECT_EQ(line(), "OK");
    EXPECT_EQ(line(), "7,7");
    EXPECT_TRUE(parse_move(brain.read_reply(REPLY_WAIT), 15, 15));
    EXPECT_EQ(line(), "ERROR occupied point");
    EXPECT_TRUE(parse_move(brain.read_reply(REPLY_WAIT), 15, 15));
    brain.send_raw("END\r\n");
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
}

TEST_F(EndToEnd, FiveThousandCharacterLines) {
    // A command at the start of a long line is still the command; the rest of
    // the line is dropped, not read as further lines.
    brain.send("ABOUT" + std::string(4995, 'x'));
    EXPECT_EQ(line().substr(0, 14), "name=\"Vantrel\"");
    std::string noise(5000, ' ');
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = "?ENDturn1,2 start"[i % 17];
    brain.send(noise);
    EXPECT_EQ(line(), "UNKNOWN command");
    brain.send("START 15" + std::string(4992, ' ') + "\r");
    EXPECT_EQ(line(), "OK");
    EXPECT_EQ(brain.read_line(100ms), std::nullopt);
    finish();
}

// Random bytes, and random bytes mixed with pieces of real commands: the
// brain answers or ignores them but never crashes, and ends with status 0
// when its input ends. Every new game builds a 30 MB engine, which the
// sanitizers make slow, so their builds try fewer inputs.
TEST(EndToEndInput, RandomBytesNeverCrashIt) {
    const char* pieces[] = {"START ",    "TURN ",      "PLAY ",   "BOARD\n", "done\n", "INFO timeout_turn 0\n",
                            "RESTART\n", "RECTSTART ", "BEGIN\n", "ABOUT\n", ",",      "\n",
                            "\r\n",      "1",          "7",       "-",       "20",     "255"};
    const unsigned seeds = std::getenv("VANTREL_SANITIZER_BUILD") ? 2 : 6;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE(seed);
        BrainProcess b;
        ASSERT_TRUE(b.start());
        // Every searched turn is minimal, so that the test stays short.
        b.send("INFO timeout_turn 0");
        std::mt19937 rng(seed);
        std::string bytes;
        for (int i = 0; i < 3000; ++i) {
            if (seed % 2 == 0 && rng() % 6 == 0)
                bytes += pieces[rng() % std::size(pieces)];
            else
                bytes += static_cast<char>(rng() % 256);
        }
        // Written in chunks while the replies are drained, so that neither
        // pipe fills up. A random END may end the brain early: then the
        // write fails.
        for (std::size_t at = 0; at < bytes.size(); at += 256) {
            if (!b.send_raw(std::string_view(bytes).substr(at, 256))) break;
            while (b.read_line(1ms)) {
            }
        }
        b.close_input();
        const auto deadline = Clock::now() + 60s;
        while (!b.output_ended() && Clock::now() < deadline) b.read_line(100ms);
        EXPECT_TRUE(b.output_ended());
        EXPECT_EQ(b.wait_exit(EXIT_WAIT), 0);
    }
}

// ---------------------------------------------------------------- reply times

// Each reply within the manager's turn limit, measured from the moment the
// TURN line is written to the moment its reply is read.
TEST_F(EndToEnd, RepliesArriveWithinTheTurnLimit) {
    constexpr int LIMIT_MS = 700;
    brain.send("INFO timeout_turn " + std::to_string(LIMIT_MS));
    brain.send("START 15");
    ASSERT_EQ(line(), "OK");
    bool taken[15][15] = {};
    long long worst = 0;
    for (auto [x, y] : {std::pair{7, 7}, {8, 7}, {9, 9}, {6, 9}, {10, 6}, {5, 5}}) {
        if (taken[x][y]) continue;
        taken[x][y] = true;
        const auto sent = Clock::now();
        brain.send("TURN " + std::to_string(x) + "," + std::to_string(y));
        const auto move = parse_move(brain.read_reply(REPLY_WAIT), 15, 15);
        const long long took = ms_since(sent);
        ASSERT_TRUE(move);
        taken[move->first][move->second] = true;
        worst = std::max(worst, took);
        EXPECT_LT(took, LIMIT_MS);
    }
    RecordProperty("worst_reply_ms", static_cast<int>(worst));
    finish();
}

TEST_F(EndToEnd, NoTimeMeansAnAnswerAtOnce) {
    brain.send("START 15");
    ASSERT_EQ(line(), "OK");
    for (const char* info : {"INFO timeout_turn 0", "INFO time_left -1000", "INFO time_left 0"}) {
        SCOPED_TRACE(info);
        brain.send("INFO timeout_turn 30000");
        brain.send("INFO time_left 1000000");
        brain.send(info);
        brain.send("RESTART");
        ASSERT_EQ(line(), "OK");
        const auto sent = Clock::now();
        brain.send("TURN 7,7");
        EXPECT_TRUE(parse_move(brain.read_reply(REPLY_WAIT), 15, 15));
        EXPECT_LT(ms_since(sent), 500);
    }
    finish();
}

}  // namespace
}  // namespace vantrel::testing
