// Whole games between two real brains through a small referee: START and INFO
// to both, BEGIN to one, then each move handed to the other by TURN until
// five in a row or a full board, and END to both. Every reply must be a legal
// point, inside the board and on an empty cell, and must come within the
// manager's turn limit. The test prints the worst overrun of the search's
// own stop time (reply time minus budget plus the stop margin) it saw.
//
// Under the sanitizers (VANTREL_SANITIZER_BUILD set) the brains run many
// times slower, so each game stops after a few moves, and reply times are
// printed but not held to the turn limit: ThreadSanitizer alone stretches the
// time between two clock readings by a good part of the reply margin, which
// says nothing about the real brain.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "protocol/turn_budget.h"
#include "search/iterative_deepening.h"
#include "support/brain_process.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto START_WAIT = 5000ms;
constexpr auto EXIT_WAIT = 5000ms;
// How long past the turn limit a late reply is still waited for, so that a
// late reply is measured rather than lost.
constexpr auto LATE_REPLY_GRACE = 5000ms;
// The match clock is generous: only the turn limit binds.
constexpr int TIME_LEFT_MS = 1000000;
// Moves per game under the sanitizers.
constexpr int SANITIZED_MOVE_LIMIT = 6;

bool sanitized_build() { return std::getenv("VANTREL_SANITIZER_BUILD") != nullptr; }

// The referee's own board, with five-in-a-row found from first principles.
class RefereeBoard {
public:
    explicit RefereeBoard(int size) : size_(size), cells_(static_cast<std::size_t>(size * size), EMPTY_POINT) {}

    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < size_ && y < size_; }
    bool empty(int x, int y) const { return at(x, y) == EMPTY_POINT; }
    void place(int x, int y, int player) {
        cells_[static_cast<std::size_t>(y * size_ + x)] = player;
        ++stones_;
    }
    bool full() const { return stones_ == size_ * size_; }

    // Whether the stone at (x, y) is part of five or more in a row.
    bool makes_five(int x, int y) const {
        static constexpr std::array<std::array<int, 2>, 4> directions{{{1, 0}, {0, 1}, {1, 1}, {1, -1}}};
        const int player = at(x, y);
        for (const auto& [dx, dy] : directions) {
            int run = 1;
            for (int s = 1; inside(x + s * dx, y + s * dy) && at(x + s * dx, y + s * dy) == player; ++s) ++run;
            for (int s = 1; inside(x - s * dx, y - s * dy) && at(x - s * dx, y - s * dy) == player; ++s) ++run;
            if (run >= 5) return true;
        }
        return false;
    }

private:
    static constexpr int EMPTY_POINT = -1;
    int at(int x, int y) const { return cells_[static_cast<std::size_t>(y * size_ + x)]; }
    int size_;
    std::vector<int> cells_;
    int stones_ = 0;
};

std::optional<std::array<int, 2>> parse_point(const std::string& line) {
    int x = 0, y = 0;
    char tail = 0;
    if (std::sscanf(line.c_str(), "%d,%d%c", &x, &y, &tail) != 2) return std::nullopt;
    return std::array<int, 2>{x, y};
}

struct GameResult {
    int moves = 0;
    int winner = -1;  // brain 0 or 1; -1 for none
    bool full = false;
    long long slowest_reply_ms = 0;
    long long worst_overrun_ms = -1000000;  // of the search's stop time
};

// Plays one game; failures are reported through gtest and end the game.
GameResult play_game(int size, int timeout_turn, int move_limit) {
    GameResult result;
    BrainProcess brains[2];
    for (BrainProcess& b : brains) {
        if (!b.start()) {
            ADD_FAILURE() << "cannot start the brain";
            return result;
        }
        b.send("INFO timeout_turn " + std::to_string(timeout_turn));
        b.send("INFO time_left " + std::to_string(TIME_LEFT_MS));
        b.send("START " + std::to_string(size));
        const auto ok = b.read_line(START_WAIT);
        if (ok != "OK") {
            ADD_FAILURE() << "START answered " << ok.value_or("<nothing>");
            return result;
        }
    }

    RefereeBoard board(size);
    std::string last_move;
    for (int mover = 0; result.moves < move_limit; mover = 1 - mover) {
        const int move_number = result.moves + 1;  // of the stone about to be played
        const auto sent = Clock::now();
        brains[mover].send(result.moves == 0 ? "BEGIN" : "TURN " + last_move);
        const auto reply = brains[mover].read_reply(std::chrono::milliseconds(timeout_turn) + LATE_REPLY_GRACE);
        const long long took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count();
        if (!reply) {
            ADD_FAILURE() << "no reply to move " << move_number << " on " << size << "x" << size;
            return result;
        }
        const auto point = parse_point(*reply);
        if (!point || !board.inside((*point)[0], (*point)[1]) || !board.empty((*point)[0], (*point)[1])) {
            ADD_FAILURE() << "illegal reply \"" << *reply << "\" to move " << move_number;
            return result;
        }
        if (!sanitized_build()) {
            EXPECT_LE(took, timeout_turn) << "move " << move_number << " on " << size << "x" << size;
        }
        result.slowest_reply_ms = std::max(result.slowest_reply_ms, took);
        if (move_number > 1) {  // the opening move is not searched
            const TurnBudget budget = turn_budget({move_number, timeout_turn, timeout_turn, TIME_LEFT_MS});
            result.worst_overrun_ms =
                std::max(result.worst_overrun_ms, took - (budget.turn_time_ms - budget.stop_margin_ms));
        }

        board.place((*point)[0], (*point)[1], mover);
        ++result.moves;
        last_move = *reply;
        if (board.makes_five((*point)[0], (*point)[1])) {
            result.winner = mover;
            break;
        }
        if (board.full()) {
            result.full = true;
            break;
        }
    }

    for (BrainProcess& b : brains) {
        b.send("END");
        EXPECT_EQ(b.wait_exit(EXIT_WAIT), 0);
    }
    return result;
}

void report(const char* name, const GameResult& r) {
    std::printf(
        "[ whole game ] %s: %d moves, %s, slowest reply %lld ms, worst overrun of the stop time %lld ms\n", name,
        r.moves,
        r.winner >= 0 ? (r.winner == 0 ? "first brain won" : "second brain won") : (r.full ? "board full" : "stopped"),
        r.slowest_reply_ms, r.worst_overrun_ms);
}

// Plays a game and checks its end: five in a row or a full board (a game cut
// short under the sanitizers ends neither way).
void play_and_check(const char* name, int size, int timeout_turn) {
    const bool short_game = sanitized_build();
    const GameResult r = play_game(size, timeout_turn, short_game ? SANITIZED_MOVE_LIMIT : size * size);
    report(name, r);
    if (!short_game && !::testing::Test::HasFailure()) {
        EXPECT_TRUE(r.winner >= 0 || r.full) << r.moves << " moves";
    }
}

TEST(WholeGame, On15x15With500MsPerTurn) { play_and_check("15x15, 500 ms", 15, 500); }

TEST(WholeGame, On20x20With400MsPerTurn) { play_and_check("20x20, 400 ms", 20, 400); }

TEST(WholeGame, On20x20With1000MsPerTurn) { play_and_check("20x20, 1000 ms", 20, 1000); }

}  // namespace
}  // namespace vantrel::testing
