// Whole games between two real brains through a small manager: START and
// INFO to both, BEGIN to one, then each move handed to the other by TURN
// until the game ends, and END to both, under every rule game. The test
// referee (support/rule_referee.h), written from the rules alone, judges
// every reply: a legal point inside the board on an empty cell, never a
// black foul in renju, and the end of the game (a win by the rule, a full
// board, renju's draw at 200 stones on 15 x 15). Replies must come within the
// manager's turn limit plus the tolerance managers grant: a loaded machine
// delays a reply by tens of milliseconds, which says nothing about the
// brain; the exact time use is measured by bench/time_use.py. The test
// prints the slowest reply and the worst overrun of the search's own stop
// time (reply time minus budget plus the stop margin) it saw.
//
// Under the sanitizers (VANTREL_SANITIZER_BUILD set) the brains run many
// times slower, so each game stops after a few moves, and reply times are
// printed but not held to the turn limit.
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
#include "support/rule_referee.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto START_WAIT = 5000ms;
constexpr auto EXIT_WAIT = 5000ms;
// How long past the turn limit a late reply is still waited for, so that a
// late reply is measured rather than lost.
constexpr auto LATE_REPLY_GRACE = 5000ms;
// What a manager grants past the turn limit (GomocupJudge: a second).
constexpr long long REPLY_TOLERANCE_MS = 1000;
// The match clock is generous: only the turn limit binds.
constexpr int TIME_LEFT_MS = 1000000;
// Moves per game under the sanitizers.
constexpr int SANITIZED_MOVE_LIMIT = 6;

// The INFO rule value a manager sends for the game.
int info_value(RuleGame rule) {
    switch (rule) {
    case RuleGame::Standard: return 1;
    case RuleGame::Renju: return 4;
    case RuleGame::Caro: return 8;
    case RuleGame::CaroExactFive: return 9;
    case RuleGame::FreeStyle: break;
    }
    return 0;
}

bool sanitized_build() { return std::getenv("VANTREL_SANITIZER_BUILD") != nullptr; }

std::optional<std::array<int, 2>> parse_point(const std::string& line) {
    int x = 0, y = 0;
    char tail = 0;
    if (std::sscanf(line.c_str(), "%d,%d%c", &x, &y, &tail) != 2) return std::nullopt;
    return std::array<int, 2>{x, y};
}

struct GameResult {
    int moves = 0;
    int winner = -1;  // brain 0 or 1; -1 for none
    bool drawn = false;
    long long slowest_reply_ms = 0;
    long long worst_overrun_ms = -1000000;  // of the search's stop time
};

// Plays one game; failures are reported through gtest and end the game.
GameResult play_game(RuleGame rule, int size, int timeout_turn, int move_limit) {
    GameResult result;
    BrainProcess brains[2];
    for (BrainProcess& b : brains) {
        if (!b.start()) {
            ADD_FAILURE() << "cannot start the brain";
            return result;
        }
        b.send("INFO timeout_turn " + std::to_string(timeout_turn));
        b.send("INFO time_left " + std::to_string(TIME_LEFT_MS));
        b.send("INFO rule " + std::to_string(info_value(rule)));
        b.send("START " + std::to_string(size));
        const auto ok = b.read_line(START_WAIT);
        if (ok != "OK") {
            ADD_FAILURE() << "START answered " << ok.value_or("<nothing>");
            return result;
        }
    }

    RefereeBoard board(size, size);
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
        const Square colour = board.side_to_move();
        const MoveOutcome outcome =
            point ? outcome_after(board, (*point)[0], (*point)[1], colour, rule) : MoveOutcome::Illegal;
        if (outcome == MoveOutcome::Illegal || outcome == MoveOutcome::BlackFoul) {
            ADD_FAILURE() << (outcome == MoveOutcome::Illegal ? "illegal" : "black's foul") << " reply \"" << *reply
                          << "\" to move " << move_number << "\n"
                          << board.picture();
            return result;
        }
        if (!sanitized_build()) {
            EXPECT_LE(took, timeout_turn + REPLY_TOLERANCE_MS) << "move " << move_number << " on " << size << "x" << size;
        }
        result.slowest_reply_ms = std::max(result.slowest_reply_ms, took);
        if (move_number > 1) {  // the opening move is not searched
            const TurnBudget budget = turn_budget({move_number, timeout_turn, timeout_turn, TIME_LEFT_MS});
            result.worst_overrun_ms =
                std::max(result.worst_overrun_ms, took - (budget.turn_time_ms - budget.stop_margin_ms));
        }

        board.set((*point)[0], (*point)[1], colour);
        ++result.moves;
        last_move = *reply;
        if (outcome == MoveOutcome::Win) {
            result.winner = mover;
            break;
        }
        if (outcome == MoveOutcome::Draw) {
            result.drawn = true;
            break;
        }
    }

    for (BrainProcess& b : brains) {
        b.send("END");
        EXPECT_EQ(b.wait_exit(EXIT_WAIT), 0);
    }
    return result;
}

void report(const std::string& name, const GameResult& r) {
    std::printf(
        "[ whole game ] %s: %d moves, %s, slowest reply %lld ms, worst overrun of the stop time %lld ms\n",
        name.c_str(), r.moves,
        r.winner >= 0 ? (r.winner == 0 ? "first brain won" : "second brain won") : (r.drawn ? "drawn" : "stopped"),
        r.slowest_reply_ms, r.worst_overrun_ms);
}

// Plays a game and checks its end: a win or a draw by the rule (a game cut
// short under the sanitizers ends neither way).
void play_and_check(RuleGame rule, int size, int timeout_turn) {
    const std::string name = std::string(rule_game_name(rule)) + ", " + std::to_string(size) + "x" +
                             std::to_string(size) + ", " + std::to_string(timeout_turn) + " ms";
    const bool short_game = sanitized_build();
    const GameResult r = play_game(rule, size, timeout_turn, short_game ? SANITIZED_MOVE_LIMIT : size * size);
    report(name, r);
    if (!short_game && !::testing::Test::HasFailure()) {
        EXPECT_TRUE(r.winner >= 0 || r.drawn) << r.moves << " moves";
    }
}

TEST(WholeGame, On15x15With500MsPerTurn) { play_and_check(RuleGame::FreeStyle, 15, 500); }

TEST(WholeGame, On20x20With400MsPerTurn) { play_and_check(RuleGame::FreeStyle, 20, 400); }

TEST(WholeGame, On20x20With1000MsPerTurn) { play_and_check(RuleGame::FreeStyle, 20, 1000); }

// The rule games, on the 15 x 15 board of their tournaments.
TEST(WholeGame, StandardOn15x15) { play_and_check(RuleGame::Standard, 15, 200); }

TEST(WholeGame, RenjuOn15x15) { play_and_check(RuleGame::Renju, 15, 200); }

TEST(WholeGame, CaroOn15x15) { play_and_check(RuleGame::Caro, 15, 200); }

TEST(WholeGame, CaroExactFiveOn15x15) { play_and_check(RuleGame::CaroExactFive, 15, 200); }

}  // namespace
}  // namespace vantrel::testing
