// BOARD blocks and TAKEBACK through the command interpreter, with turns
// played at once on the test's thread: how a block becomes the position
// (colours by count, extending or starting afresh, the tables kept or
// cleared) and which stone may be taken back.
#include "protocol/command_interpreter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "board/pattern_tables.h"
#include "protocol/turn_budget.h"
#include "search/iterative_deepening.h"
#include "session.h"

namespace vantrel::testing {
namespace {

// ---------------------------------------------------------------- BOARD

TEST(CommandInterpreterBoard, BlockEndedByDoneInAnyCase) {
    InlineSession s;
    s.send("START 15\n");
    EXPECT_EQ(s.send("BOARD\n7,7,1\n8,8,2\n7,8,1\n9,9,2\nDoNe\n"), Lines{"0,0"});
    EXPECT_EQ(s.front.game.move_number(), 6);
    // Listed in the order of play; the brain moved first (player 0).
    EXPECT_EQ(s.state(7, 7), 0);
    EXPECT_EQ(s.state(8, 8), 1);
    EXPECT_EQ(s.state(7, 8), 0);
    EXPECT_EQ(s.state(9, 9), 1);
    EXPECT_EQ(s.state(0, 0), 0);
}

TEST(CommandInterpreterBoard, InvalidLineEndsTheBlockKeepsItsStonesAndTheBrainPlays) {
    for (const char* bad : {"3,3,3", "3,3,0", "15,3,1", "3,-1,2", "3,3", "3 ,3,1", "ABOUT", "done ", "", "7,7,2"}) {
        SCOPED_TRACE(bad);
        InlineSession s;
        s.send("START 15\n");
        EXPECT_EQ(s.send("BOARD\n7,7,2\n8,8,1\n" + std::string(bad) + "\nABOUT\n"),
                  (Lines{"ERROR x,y,who or DONE expected", "0,0", std::string(ABOUT_REPLY)}));
        // One stone each: the brain's went first.
        EXPECT_EQ(s.state(8, 8), 0);
        EXPECT_EQ(s.state(7, 7), 1);
        EXPECT_EQ(s.state(0, 0), 0);
        EXPECT_EQ(s.state(3, 3), EMPTY);
        EXPECT_EQ(s.front.game.engine->move_count, 3);
    }
}

TEST(CommandInterpreterBoard, EmptyBlockLetsTheBrainOpen) {
    InlineSession s;
    EXPECT_EQ(s.send("START 15\nBOARD\nDONE\n"), (Lines{"OK", "7,7"}));
}

// Managers may list the stones in any order. On an empty board the brain's
// stones (1) and the opponent's (2) are interleaved by their marks so that
// each player gets its own and the brain moves next.
TEST(CommandInterpreterBoard, StonesGoToTheirOwnersWhateverTheListedOrder) {
    {
        // Opponent one ahead: the opponent moved first (player 0).
        InlineSession s;
        s.send("START 15\n");
        EXPECT_EQ(s.send("BOARD\n1,1,2\n2,2,2\n3,3,1\n4,4,2\n5,5,1\ndone\n"), Lines{"0,0"});
        EXPECT_EQ(s.state(1, 1), 0);
        EXPECT_EQ(s.state(2, 2), 0);
        EXPECT_EQ(s.state(4, 4), 0);
        EXPECT_EQ(s.state(3, 3), 1);
        EXPECT_EQ(s.state(5, 5), 1);
        EXPECT_EQ(s.state(0, 0), 1) << "the brain plays for player 1";
        // Each mark's stones in their listed order, alternating from player 0.
        const Point* h = s.front.game.engine->history;
        EXPECT_EQ(h[0].x - MARGIN, 1);
        EXPECT_EQ(h[1].x - MARGIN, 3);
        EXPECT_EQ(h[2].x - MARGIN, 2);
        EXPECT_EQ(h[3].x - MARGIN, 5);
        EXPECT_EQ(h[4].x - MARGIN, 4);
    }
    {
        // Equal counts, own stones listed first: the brain moved first.
        InlineSession s;
        s.send("START 15\n");
        EXPECT_EQ(s.send("BOARD\n3,3,1\n4,4,1\n5,5,2\n6,6,2\ndone\n"), Lines{"0,0"});
        EXPECT_EQ(s.state(3, 3), 0);
        EXPECT_EQ(s.state(4, 4), 0);
        EXPECT_EQ(s.state(5, 5), 1);
        EXPECT_EQ(s.state(6, 6), 1);
        EXPECT_EQ(s.state(0, 0), 0);
    }
    {
        // The same position listed in the order of play gives the same board.
        InlineSession s;
        s.send("START 15\n");
        s.send("BOARD\n1,1,2\n3,3,1\n2,2,2\n5,5,1\n4,4,2\ndone\n");
        EXPECT_EQ(s.state(1, 1), 0);
        EXPECT_EQ(s.state(3, 3), 1);
        EXPECT_EQ(s.state(2, 2), 0);
        EXPECT_EQ(s.state(5, 5), 1);
        EXPECT_EQ(s.state(4, 4), 0);
    }
    {
        // The interleaving also holds for the stones before an invalid line.
        InlineSession s;
        s.send("START 15\n");
        EXPECT_EQ(s.send("BOARD\n3,3,1\n5,5,2\n4,4,2\n9,9,7\n"), (Lines{"ERROR x,y,who or DONE expected", "0,0"}));
        EXPECT_EQ(s.state(5, 5), 0);
        EXPECT_EQ(s.state(3, 3), 1);
        EXPECT_EQ(s.state(4, 4), 0);
        EXPECT_EQ(s.state(0, 0), 1);
    }
}

TEST(CommandInterpreterBoard, CountsThatCannotLeaveTheBrainToMoveKeepListedOrder) {
    InlineSession s;
    s.send("START 15\n");
    // Two own stones to none: placed as listed, alternating colours.
    s.send("BOARD\n3,3,1\n4,4,1\ndone\n");
    EXPECT_EQ(s.state(3, 3), 0);
    EXPECT_EQ(s.state(4, 4), 1);
}

// The whole game before every move, as some managers send it: the opponent's
// last stone marked 2, the stones in no particular order. The board gains
// only that stone each time (the order of play stays in the history).
TEST(CommandInterpreterBoard, WholeGameBeforeEveryMoveOnlyAddsTheNewStones) {
    InlineSession s;
    s.send("START 15\n");
    struct Played {
        int x, y, who;
    };
    std::vector<Played> game;  // in the order of play; the opponent opened
    for (const auto& [x, y] : {std::pair{7, 7}, {8, 8}, {6, 9}, {9, 3}}) {
        game.push_back({x, y, 2});
        std::string block = "INFO time_left 100000\nBOARD\n";
        for (auto it = game.rbegin(); it != game.rend(); ++it)
            block += std::to_string(it->x) + "," + std::to_string(it->y) + "," + std::to_string(it->who) + "\n";
        const Lines out = s.send(block + "DONE\n");
        ASSERT_EQ(out.size(), 1u);
        int mx = -1, my = -1;
        ASSERT_EQ(std::sscanf(out[0].c_str(), "%d,%d", &mx, &my), 2);
        game.push_back({mx, my, 1});
    }
    ASSERT_EQ(s.front.game.engine->move_count, static_cast<int>(game.size()));
    EXPECT_EQ(s.front.game.move_number(), static_cast<int>(game.size()) + 1);
    EXPECT_EQ(s.front.game.brain_side, 1);
    for (std::size_t i = 0; i < game.size(); ++i) {
        EXPECT_EQ(s.front.game.engine->history[i].x - MARGIN, game[i].x) << i;
        EXPECT_EQ(s.front.game.engine->history[i].y - MARGIN, game[i].y) << i;
        EXPECT_EQ(s.state(game[i].x, game[i].y), game[i].who == 2 ? 0 : 1) << i;
    }
}

// Stones on the board that the block leaves out or gives to the other player
// mean a new position: the board is cleared and holds the block exactly.
TEST(CommandInterpreterBoard, BlockThatRemovesOrRecoloursStonesStartsAfresh) {
    InlineSession s;
    s.send("START 15\nTURN 7,7\nTURN 8,8\n");  // the brain answers 0,0 and 1,0
    // The brain's last stone left out (a GUI's undo).
    EXPECT_EQ(s.send("BOARD\n7,7,2\n0,0,1\n8,8,2\ndone\n"), Lines{"1,0"});
    EXPECT_EQ(s.front.game.move_number(), 5);
    EXPECT_EQ(s.state(2, 0), EMPTY);
    // The same points with the owners swapped: the brain now moved first.
    EXPECT_EQ(s.send("BOARD\n7,7,1\n0,0,2\n8,8,1\n1,0,2\ndone\n"), Lines{"2,0"});
    EXPECT_EQ(s.state(7, 7), 0);
    EXPECT_EQ(s.state(0, 0), 1);
    EXPECT_EQ(s.state(8, 8), 0);
    EXPECT_EQ(s.state(1, 0), 1);
    EXPECT_EQ(s.state(2, 0), 0);
    EXPECT_EQ(s.front.game.engine->move_count, 5);
    // A PLAY stone is the brain's: marked 2, it changes owner.
    s.send("RESTART\nPLAY 4,4\n");
    EXPECT_EQ(s.send("BOARD\n4,4,2\n3,3,1\ndone\n"), Lines{"0,0"});
    EXPECT_EQ(s.state(4, 4), 1);
    EXPECT_EQ(s.state(3, 3), 0);
    // No stones: the empty board, and the brain opens.
    EXPECT_EQ(s.send("BOARD\ndone\n"), Lines{"7,7"});
    EXPECT_EQ(s.front.game.engine->move_count, 1);
}

// The engine's own search at a fixed depth (so that node counts repeat): a
// position searched again after extending keeps the tables and makes fewer
// moves; one reached through a block that starts afresh makes as many as on
// a new engine.
TEST(CommandInterpreterBoard, ExtendingKeepsTheTablesStartingAfreshClearsThem) {
    std::vector<int> nodes;
    const MoveChooser counted = [&nodes](Engine& e) {
        e.max_depth = 7;
        const BoardPoint p = iterative_deepening(e);
        nodes.push_back(e.node_count);
        return p;
    };
    const std::string position = "BOARD\n7,7,2\n8,8,1\n8,7,2\n6,7,1\n7,9,2\ndone\n";
    InlineSession s(create_engine, counted);
    s.send("START 15\n");
    const Lines first = s.send(position);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(s.send("TAKEBACK " + first[0] + "\n"), Lines{"OK"});
    EXPECT_EQ(s.send(position), first);
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_LT(nodes[1], nodes[0]);

    // A recoloured stone starts afresh: the count of a fresh engine.
    const std::string other = "BOARD\n7,7,1\n8,8,2\n8,7,1\n6,7,2\n7,9,1\n9,9,2\ndone\n";
    s.send(other);
    InlineSession fresh(create_engine, counted);
    fresh.send("START 15\n" + other);
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(nodes[2], nodes[3]);
}

TEST(CommandInterpreterBoard, EndOfInputInsideTheBlockEndsWithoutAMove) {
    InlineSession s;
    s.send("START 15\n");
    EXPECT_EQ(s.send("BOARD\n7,7,1\n"), Lines{});
    EXPECT_EQ(s.last_flow, Flow::EndOfInput);
    EXPECT_TRUE(s.budgets.empty());
}

// ---------------------------------------------------------------- TAKEBACK

TEST(CommandInterpreterTakeback, OnlyTheLastStoneComesBack) {
    InlineSession s;
    EXPECT_EQ(s.send("START 15\nTAKEBACK 7,7\n"), (Lines{"OK", std::string(NO_STONE_REPLY)}));
    s.send("TURN 7,7\n");  // the brain answers 0,0
    for (const char* line : {"TAKEBACK 7,7", "TAKEBACK 3,3", "TAKEBACK 15,0", "TAKEBACK", "TAKEBACK 0 ,0"}) {
        SCOPED_TRACE(line);
        const Lines out = s.send(std::string(line) + "\n");
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].rfind("ERROR", 0), 0u) << out[0];
        EXPECT_EQ(s.front.game.engine->move_count, 2);
        EXPECT_EQ(s.front.game.move_number(), 3);
    }
    EXPECT_EQ(s.send("TAKEBACK 0,0\n"), Lines{"OK"});
    EXPECT_EQ(s.state(0, 0), EMPTY);
    EXPECT_EQ(s.front.game.move_number(), 2);
    EXPECT_EQ(s.front.game.engine->side, 1);
    EXPECT_EQ(s.send("TAKEBACK 7,7\nTAKEBACK 7,7\n"), (Lines{"OK", std::string(NO_STONE_REPLY)}));
    EXPECT_EQ(s.front.game.move_number(), 1);
    EXPECT_EQ(s.send("TURN 8,8\n"), Lines{"0,0"});
    EXPECT_EQ(s.state(8, 8), 0);
}

}  // namespace
}  // namespace vantrel::testing
