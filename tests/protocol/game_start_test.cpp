// START, RECTSTART and the default game through the command interpreter:
// the board sizes taken and refused, what a refused size leaves, and the
// 20 x 20 game that the first commands open without a START.
// and TAKEBACK, and SWAP2BOARD, have files of their own).
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

// ---------------------------------------------------------------- START, RECTSTART

TEST(CommandInterpreterStart, OneOrTwoNumbers) {
    InlineSession s;
    EXPECT_EQ(s.send("START 15\n"), Lines{"OK"});
    EXPECT_EQ(s.front.game.board_width, 15);
    EXPECT_EQ(s.front.game.board_height, 15);
    EXPECT_EQ(s.front.game.engine->board_width, 15);
    EXPECT_EQ(s.front.game.engine->board_height, 15);
    EXPECT_EQ(s.front.game.engine->max_depth, NEW_GAME_MAX_DEPTH);
    EXPECT_EQ(s.front.game.engine->turn_time_ms, NEW_GAME_TURN_TIME_MS);
    EXPECT_EQ(s.front.game.move_number(), 1);
    EXPECT_EQ(s.send("START 15 15\n"), Lines{"OK"});
    EXPECT_EQ(s.front.game.board_height, 15);
    // A comma is not a blank: the second number is not read.
    EXPECT_EQ(s.send("START 12,19\n"), Lines{"OK"});
    EXPECT_EQ(s.front.game.board_width, 12);
    EXPECT_EQ(s.front.game.board_height, 12);
}

TEST(CommandInterpreterStart, WithoutNumbersRepeatsTheLastSizeOnAFreshBoard) {
    InlineSession s;
    s.send("START 9\nTURN 4,4\n");
    EXPECT_EQ(s.send("START\n"), Lines{"OK"});
    EXPECT_EQ(s.front.game.board_width, 9);
    EXPECT_EQ(s.front.game.engine->move_count, 0);
    EXPECT_EQ(s.send("BEGIN\n"), Lines{"4,4"});
}

TEST(CommandInterpreterStart, WithoutNumbersBeforeAnyGameOpensTheDefaultFirst) {
    InlineSession s;
    EXPECT_EQ(s.send("START\n"), (Lines{"OK", "OK"}));
    EXPECT_EQ(s.front.game.board_width, DEFAULT_BOARD_SIZE);
    EXPECT_EQ(s.front.game.board_height, DEFAULT_BOARD_SIZE);
}

// Sizes the engine cannot hold are refused like sizes outside 5..100, and the
// earlier game goes on with its size, engine and stones.
TEST(CommandInterpreterStart, RefusedSizesKeepTheEarlierGame) {
    InlineSession s;
    s.send("START 15\nTURN 7,7\n");
    Engine* engine = s.front.game.engine.get();
    const int move_number = s.front.game.move_number();
    for (const char* line : {"START 4", "START 101", "START 33", "START 100", "START 15 33", "START 33 15",
                             "START 15 4", "START -15", "RECTSTART 33,20", "RECTSTART 20,4", "RECTSTART 5,101"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(s.send(std::string(line) + "\n"), Lines{"ERROR size of the board"});
        EXPECT_EQ(s.front.game.board_width, 15);
        EXPECT_EQ(s.front.game.board_height, 15);
        EXPECT_EQ(s.front.game.engine.get(), engine);
        EXPECT_EQ(s.front.game.move_number(), move_number);
    }
    EXPECT_EQ(engine->board_width, 15);
    EXPECT_EQ(s.send("TURN 7,7\n"), Lines{"ERROR occupied point"});
    EXPECT_EQ(s.send("TURN 14,14\n").size(), 1u);
}

TEST(CommandInterpreterStart, RefusedSizeBeforeAnyGameLeavesNoSize) {
    InlineSession s;
    EXPECT_EQ(s.send("START 40\n"), Lines{"ERROR size of the board"});
    EXPECT_EQ(s.front.game.board_width, 0);
    EXPECT_EQ(s.front.game.engine, nullptr);
    // The next command that needs a game opens the default one.
    EXPECT_EQ(s.send("BEGIN\n"), (Lines{"OK", "10,10"}));
}

TEST(CommandInterpreterStart, EngineLimitsAreAccepted) {
    InlineSession s;
    EXPECT_EQ(s.send("START 5\nBEGIN\n"), (Lines{"OK", "2,2"}));
    EXPECT_EQ(s.send("START 32\nBEGIN\n"), (Lines{"OK", "16,16"}));
    EXPECT_EQ(s.send("RECTSTART 32,5\nBEGIN\n"), (Lines{"OK", "16,2"}));
}

TEST(CommandInterpreterStart, RectstartNeedsTwoNumbersAroundAComma) {
    InlineSession s;
    s.send("START 15\n");
    for (const char* line : {"RECTSTART 20 15", "RECTSTART 20", "RECTSTART", "RECTSTART ,15", "RECTSTART x,y"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(s.send(std::string(line) + "\n"), Lines{"ERROR bad RECTSTART parameters"});
        EXPECT_EQ(s.front.game.board_width, 15);
    }
    for (const char* line : {"RECTSTART 20,15", "RECTSTART 20 ,15", "RECTSTART 20 , 15", "rectstart 20, 15"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(s.send(std::string(line) + "\n"), Lines{"OK"});
        EXPECT_EQ(s.front.game.board_width, 20);
        EXPECT_EQ(s.front.game.board_height, 15);
    }
}

// A rectangular board is played on exactly: the engine's playing area is the
// rectangle, points are checked against it, the opening is its centre.
TEST(CommandInterpreterStart, RectangularBoardsArePlayedExactly) {
    InlineSession s;
    EXPECT_EQ(s.send("RECTSTART 20,10\nBEGIN\n"), (Lines{"OK", "10,5"}));
    EXPECT_EQ(s.front.game.engine->board_width, 20);
    EXPECT_EQ(s.front.game.engine->board_height, 10);
    EXPECT_EQ(s.state(19, 9), EMPTY);
    EXPECT_EQ(s.state(19, 10), OUTSIDE);
    EXPECT_EQ(s.send("TURN 10,10\n"), Lines{"ERROR bad coordinates"});
    EXPECT_EQ(s.send("TURN 20,0\n"), Lines{"ERROR bad coordinates"});
    EXPECT_EQ(s.send("TURN 19,9\n"), Lines{"0,0"});
    EXPECT_EQ(s.state(19, 9), 1);

    // START with two different numbers is a rectangle too, taller than wide.
    EXPECT_EQ(s.send("START 7 12\nBEGIN\n"), (Lines{"OK", "3,6"}));
    EXPECT_EQ(s.send("TURN 6,11\n"), Lines{"0,0"});
    EXPECT_EQ(s.send("PLAY 7,0\n"), Lines{"ERROR bad coordinates"});
    EXPECT_EQ(s.send("PLAY 0,12\n"), Lines{"ERROR bad coordinates"});
}

// The brain's own moves stay inside a rectangle whatever the search does:
// the real search on narrow boards of both orientations.
TEST(CommandInterpreterStart, SearchedMovesStayInsideRectangles) {
    for (const auto& [w, h] : {std::pair{5, 16}, std::pair{16, 5}}) {
        InlineSession s(create_engine, iterative_deepening);
        s.send("INFO timeout_turn 400\n");
        s.send("RECTSTART " + std::to_string(w) + "," + std::to_string(h) + "\n");
        // Stones along the long edge, far from the centre, and the replies.
        for (int i = 0; i < 6; ++i) {
            const int x = w > h ? i * 2 : 0, y = w > h ? 0 : i * 2;
            if (!s.front.game.is_free({x, y})) continue;
            const Lines out = s.send("TURN " + std::to_string(x) + "," + std::to_string(y) + "\n");
            ASSERT_EQ(out.size(), 1u);
            int mx = -1, my = -1;
            ASSERT_EQ(std::sscanf(out[0].c_str(), "%d,%d", &mx, &my), 2) << out[0];
            ASSERT_TRUE(mx >= 0 && mx < w && my >= 0 && my < h) << out[0];
            EXPECT_EQ(s.state(mx, my), s.front.game.engine->other) << "the brain's stone is where it said";
        }
    }
}

// ---------------------------------------------------------------- default game

TEST(CommandInterpreterDefaultGame, FirstCommandsOpenTwentyByTwenty) {
    {
        InlineSession s;
        EXPECT_EQ(s.send("TURN 7,7\n"), (Lines{"OK", "0,0"}));
        EXPECT_EQ(s.front.game.board_width, 20);
        EXPECT_EQ(s.front.game.board_height, 20);
    }
    {
        InlineSession s;
        EXPECT_EQ(s.send("PLAY 3,4\n"), (Lines{"OK", "3,4"}));
    }
    {
        InlineSession s;
        EXPECT_EQ(s.send("RESTART\n"), (Lines{"OK", "OK"}));
    }
    {
        InlineSession s;
        EXPECT_EQ(s.send("BOARD\n10,10,2\nDONE\n"), (Lines{"OK", "0,0"}));
    }
    {
        // Commands that do not wait need no game.
        InlineSession s;
        EXPECT_EQ(s.send("INFO timeout_turn 100\nABOUT\nxyz\nRECTSTART 1\n"),
                  (Lines{std::string(ABOUT_REPLY), "UNKNOWN command", "ERROR bad RECTSTART parameters"}));
        EXPECT_EQ(s.front.game.board_width, 0);
        EXPECT_EQ(s.front.game.engine, nullptr);
    }
}

}  // namespace
}  // namespace vantrel::testing
