// The rule games' statuses against the test referee (support/rule_referee.h),
// which knows nothing of tables: on random boards, every empty cell's status
// for either player says what the referee finds by placing the stone. A five
// is a move that wins by the rule; a four or more is a move after which some
// cell wins (on boards where the player had none before); an open four (or
// two fours) one after which no single stone of the opponent leaves the
// player without a winning cell. Renju's black is
// judged by its fouls elsewhere (renju_fouls_test.cpp); here its fives.
#include "board/rule_tables.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "board/engine_object.h"
#include "board/pattern_tables.h"
#include "support/rule_referee.h"

namespace vantrel {
namespace {

using testing::RefereeBoard;
using testing::RuleGame;
using testing::Square;

RuleGame referee_game(Rule rule) {
    switch (rule) {
    case Rule::Standard: return RuleGame::Standard;
    case Rule::Renju: return RuleGame::Renju;
    case Rule::Caro: return RuleGame::Caro;
    case Rule::CaroExact: return RuleGame::CaroExactFive;
    case Rule::FreeStyle: break;
    }
    return RuleGame::FreeStyle;
}

Square colour_of(int player) { return player == BLACK ? Square::Black : Square::White; }

// Whether a stone of `colour` on some empty cell wins.
bool some_cell_wins(RefereeBoard& board, Square colour, RuleGame game) {
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x) {
            if (board.at(x, y) != Square::Empty) continue;
            board.set(x, y, colour);
            const bool won = testing::wins(board, x, y, game);
            board.set(x, y, Square::Empty);
            if (won) return true;
        }
    return false;
}

// Whether every stone of the opponent leaves `colour` a winning cell.
bool no_single_stop(RefereeBoard& board, Square colour, RuleGame game) {
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x) {
            if (board.at(x, y) != Square::Empty) continue;
            board.set(x, y, testing::opponent(colour));
            const bool still = some_cell_wins(board, colour, game);
            board.set(x, y, Square::Empty);
            if (!still) return false;
        }
    return true;
}

// A random board on which neither player has won: stones of both colours
// put down one by one, skipping any that would win.
RefereeBoard random_board(std::mt19937& rng, int size, int stones, RuleGame game) {
    RefereeBoard board(size, size);
    int placed = 0;
    for (int tries = 0; placed < stones && tries < 20 * stones; ++tries) {
        const int x = static_cast<int>(rng() % size), y = static_cast<int>(rng() % size);
        if (board.at(x, y) != Square::Empty) continue;
        const Square colour = placed % 2 == 0 ? Square::Black : Square::White;
        board.set(x, y, colour);
        if (testing::wins(board, x, y, game)) {
            board.set(x, y, Square::Empty);
            continue;
        }
        ++placed;
    }
    return board;
}

std::unique_ptr<Engine> engine_of(const RefereeBoard& board, Rule rule) {
    auto e = std::make_unique<Engine>();
    e->set_rule(rule);
    e->reset_rectangle(board.width(), board.height());
    std::vector<std::pair<int, int>> stones[2];
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            if (board.at(x, y) != Square::Empty) stones[board.at(x, y) == Square::Black ? 0 : 1].push_back({x, y});
    for (std::size_t i = 0; i < stones[0].size(); ++i) {
        e->move(stones[0][i].first, stones[0][i].second);
        if (i < stones[1].size()) e->move(stones[1][i].first, stones[1][i].second);
    }
    return e;
}

class RuleStatuses : public ::testing::TestWithParam<Rule> {};

TEST_P(RuleStatuses, FivesAndFoursAreTheRefereesWinningMoves) {
    const Rule rule = GetParam();
    const RuleGame game = referee_game(rule);
    std::mt19937 rng(static_cast<unsigned>(20261210 + static_cast<int>(rule)));
    int fives = 0, fours = 0, open_fours = 0;
    for (int position = 0; position < 60; ++position) {
        const int size = 7 + position % 3;
        RefereeBoard board = random_board(rng, size, size * size * (25 + position % 30) / 100, game);
        auto e = engine_of(board, rule);
        // A player with a winning cell before the move would show it after
        // any move: that player's fours are not asked about.
        bool wins_already[PLAYERS];
        for (int p = 0; p < PLAYERS; ++p) wins_already[p] = some_cell_wins(board, colour_of(p), game);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (board.at(x, y) != Square::Empty) continue;
                for (int p = 0; p < PLAYERS; ++p) {
                    const int status = e->cell(x + MARGIN, y + MARGIN).status[p];
                    SCOPED_TRACE(::testing::Message() << "player " << p << " at " << x << "," << y << "\n"
                                                      << board.picture());
                    board.set(x, y, colour_of(p));
                    const bool five = testing::wins(board, x, y, game);
                    ASSERT_EQ(status == STATUS_FIVE, five);
                    fives += five;
                    // Black's fours in renju may come with fouls: judged there.
                    if (!five && !wins_already[p] && !(rule == Rule::Renju && p == BLACK)) {
                        const bool four = some_cell_wins(board, colour_of(p), game);
                        ASSERT_EQ(status >= STATUS_FOUR, four);
                        fours += four;
                        if (four) {
                            const bool open = no_single_stop(board, colour_of(p), game);
                            ASSERT_EQ(status == STATUS_OPEN_FOUR, open);
                            open_fours += open;
                        }
                    }
                    board.set(x, y, Square::Empty);
                }
            }
    }
    // The boards must have exercised every kind.
    EXPECT_GT(fives, 20);
    EXPECT_GT(fours, 100);
    EXPECT_GT(open_fours, 10);
}

INSTANTIATE_TEST_SUITE_P(Rules, RuleStatuses,
                         ::testing::Values(Rule::FreeStyle, Rule::Standard, Rule::Renju, Rule::Caro, Rule::CaroExact));

TEST(RuleTables, InfoValuesAndNames) {
    Rule rule = Rule::FreeStyle;
    for (int value = -2; value < 20; ++value) {
        const bool named = rule_of_info(value, rule);
        EXPECT_EQ(named, value >= 0 && value <= 11) << value;
        if (named) {
            EXPECT_EQ(referee_game(rule), testing::rule_game_from_info(value)) << value;
        }
    }
    EXPECT_EQ(rule_tables(Rule::FreeStyle), nullptr);
    for (const Rule r : {Rule::Standard, Rule::Renju, Rule::Caro, Rule::CaroExact}) {
        EXPECT_TRUE(rule_of_info(info_of_rule(r), rule));
        EXPECT_EQ(rule, r);
        EXPECT_EQ(rule_tables(r)->rule, r);
    }
}

}  // namespace
}  // namespace vantrel
