// The real brain under the analysis GUI's sequences, every line read: the
// 3-best analysis with unlimited time, database queries arriving while it
// runs, and the stop; a new position sent in the middle of a search. Each
// search answers exactly one move line, and every other line is one the GUI
// reads (OK, the analysis lines, MESSAGE lines).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "protocol/reply_lines.h"
#include "support/brain_process.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;

bool is_move(const std::string& line) {
    int x = 0, y = 0;
    char tail = 0;
    return std::sscanf(line.c_str(), "%d,%d%c", &x, &y, &tail) == 2;
}

class EndToEndAnalysis : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(brain.start());
        for (const char* line : {"info show_detail 3", "info max_node -1", "info timeout_match 100000000",
                                 "info time_left 100000000", "info timeout_turn 2000000", "info max_depth 225"})
            brain.send(line);
    }

    void send_position() {
        for (const char* line : {"start 15", "yxboard", "7,7,1", "6,8,2", "done"}) brain.send(line);
    }

    // Reads lines for `wait`; answers the moves among them and fails on any
    // line the GUI would not read as OK, analysis or MESSAGE.
    std::vector<std::string> read_for(std::chrono::milliseconds wait, int& oks) {
        std::vector<std::string> moves;
        const auto end = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < end) {
            const auto line = brain.read_line(20ms);
            if (!line) continue;
            if (is_move(*line))
                moves.push_back(*line);
            else if (*line == "OK")
                ++oks;
            else
                EXPECT_TRUE(line->starts_with("MESSAGE ") || is_analysis_line(*line)) << *line;
        }
        return moves;
    }

    BrainProcess brain;
};

TEST_F(EndToEndAnalysis, ThreeBestUntilStoppedWithDatabaseQueriesMeanwhile) {
    send_position();
    brain.send("yxnbest 3");
    int oks = 0;
    EXPECT_TRUE(read_for(600ms, oks).empty()) << "the analysis runs until stopped";
    for (const char* line : {"yxquerydatabaseallt", "7,7,1", "6,8,2", "done", "INFO time_left 100000000"})
        brain.send(line);
    EXPECT_TRUE(read_for(400ms, oks).empty()) << "queries do not stop it";
    brain.send("yxstop");
    EXPECT_EQ(read_for(1500ms, oks).size(), 1u);
    brain.send("yxstop");
    EXPECT_TRUE(read_for(200ms, oks).empty()) << "nothing when idle";
    EXPECT_EQ(oks, 1);
    brain.send("END");
    EXPECT_EQ(brain.wait_exit(5000ms), 0);
}

TEST_F(EndToEndAnalysis, NewPositionDuringASearchGetsTheOldSearchsMoveFirst) {
    send_position();
    brain.send("yxnbest 2");
    int oks = 0;
    EXPECT_TRUE(read_for(300ms, oks).empty());
    send_position();
    brain.send("yxnbest 1");
    EXPECT_EQ(read_for(1000ms, oks).size(), 1u);
    EXPECT_EQ(oks, 2);
    // END ends the second analysis after its move.
    brain.send("END");
    EXPECT_EQ(read_for(1000ms, oks).size(), 1u);
    EXPECT_EQ(brain.wait_exit(5000ms), 0);
}

}  // namespace
}  // namespace vantrel::testing
