// The real brain while a turn is being searched: the end of input ends it at
// once without the move, END lets the move out first, and ABOUT, INFO and
// unknown lines are answered before the move. The turns here run to their
// budget, so each test takes about a second.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "support/brain_process.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto REPLY_WAIT = 5000ms;
constexpr auto EXIT_WAIT = 5000ms;

long long ms_since(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

bool is_move(const std::optional<std::string>& line, int size) {
    int x = -1, y = -1;
    char tail = 0;
    return line && std::sscanf(line->c_str(), "%d,%d%c", &x, &y, &tail) == 2 && x >= 0 && x < size && y >= 0 &&
           y < size;
}

// A turn searched to its full budget: the second stone of a game on an
// empty 20 x 20 board, under the manager's turn limit of 1.5 seconds.
class EndToEndDuringATurn : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(brain.start()); }
    std::string line() { return brain.read_line(REPLY_WAIT).value_or("<no reply>"); }
    void start_long_turn() {
        brain.send("INFO timeout_turn 1500");
        brain.send("START 20");
        ASSERT_EQ(line(), "OK");
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
    EXPECT_EQ(brain.read_line(100ms), std::nullopt);
    EXPECT_TRUE(brain.output_ended());
    EXPECT_EQ(brain.pending_output(), "");
}

TEST_F(EndToEndDuringATurn, EndWritesTheMoveThenExits) {
    start_long_turn();
    brain.send("END");
    EXPECT_TRUE(is_move(brain.read_line(REPLY_WAIT), 20));
    // The search was not cut short: it ran to its budget (1300 ms less the
    // search's own 100 ms stop margin).
    EXPECT_GE(ms_since(turn_started), 1000);
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
    EXPECT_EQ(brain.read_line(100ms), std::nullopt);
}

TEST_F(EndToEndDuringATurn, AboutAndInfoAreAnsweredBeforeTheMove) {
    start_long_turn();
    brain.send("ABOUT");
    brain.send("INFO timeout_turn 0");
    brain.send("hello");
    EXPECT_EQ(line().substr(0, 14), "name=\"Vantrel\"");
    EXPECT_EQ(line(), "UNKNOWN command");
    EXPECT_LT(ms_since(turn_started), 700);
    EXPECT_TRUE(is_move(brain.read_line(REPLY_WAIT), 20));
    // The INFO counts from the next turn on: a minimal search.
    const auto sent = Clock::now();
    brain.send("TURN 11,11");
    EXPECT_TRUE(is_move(brain.read_line(REPLY_WAIT), 20));
    EXPECT_LT(ms_since(sent), 1000);
    brain.send("END");
    EXPECT_EQ(brain.wait_exit(EXIT_WAIT), 0);
}

}  // namespace
}  // namespace vantrel::testing
