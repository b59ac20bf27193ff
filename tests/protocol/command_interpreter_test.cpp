// The command interpreter through its input and output streams, with turns
// played at once on the test's thread: line reading, the dispatch order,
// every command's replies and effects, and the decisions about occupied
// points, the rule, engine creation failures and full boards (START and the
// default game, BOARD and TAKEBACK, and SWAP2BOARD have files of their own).
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

// ---------------------------------------------------------------- reading

TEST(CommandInterpreterLines, CarriageReturnBeforeLineFeedIsRemoved) {
    InlineSession s;
    EXPECT_EQ(s.send("START 15\r\nBEGIN\r\n"), (Lines{"OK", "7,7"}));
    s.send("ABOUT\r\n");
    EXPECT_EQ(s.front.line(), "ABOUT");
    // Only the one right before the line feed.
    s.send("x\r\r\n");
    EXPECT_EQ(s.front.line(), "x\r");
    s.send("\r\n");
    EXPECT_EQ(s.front.line(), "");
}

TEST(CommandInterpreterLines, LongLinesAreCutTo255Characters) {
    InlineSession s;
    const std::string body(300, 'a');
    s.send(body + "\n");
    EXPECT_EQ(s.front.line(), body.substr(0, 255));
    // 255 characters and a line feed fill the buffer exactly.
    s.send(body.substr(0, 255) + "\n");
    EXPECT_EQ(s.front.line(), body.substr(0, 255));
    // The 256th character gives way to the end; a carriage return before
    // that position goes too.
    s.send(body.substr(0, 254) + "\r\n");
    EXPECT_EQ(s.front.line(), body.substr(0, 254));
    s.send(body.substr(0, 254) + "\rzz\n");
    EXPECT_EQ(s.front.line(), body.substr(0, 254));
    s.send(body.substr(0, 255) + "\r\n");
    EXPECT_EQ(s.front.line(), body.substr(0, 255));
    // The command in a cut line still works, and the next line is whole.
    EXPECT_EQ(s.send("ABOUT" + body + "\nABOUT\n"), (Lines{std::string(ABOUT_REPLY), std::string(ABOUT_REPLY)}));
}

TEST(CommandInterpreterLines, ZeroByteEndsTheLine) {
    InlineSession s;
    EXPECT_EQ(s.send(std::string("ABOUT\0junk\n", 11)), Lines{std::string(ABOUT_REPLY)});
    EXPECT_EQ(s.send(std::string("\0ABOUT\n", 7)), Lines{"UNKNOWN command"});
}

TEST(CommandInterpreterLines, PartialLastLineIsNotExecuted) {
    InlineSession s;
    EXPECT_EQ(s.send("START 15\nBEGIN"), Lines{"OK"});
    EXPECT_EQ(s.last_flow, Flow::EndOfInput);
    EXPECT_EQ(s.front.game.move_number(), 1);
}

// ---------------------------------------------------------------- dispatch

TEST(CommandInterpreterDispatch, WordsMatchInAnyCaseAndAsPrefixes) {
    InlineSession s;
    EXPECT_EQ(s.send("start 15\n"), Lines{"OK"});
    EXPECT_EQ(s.send("Turn 7,7\n"), Lines{"0,0"});
    EXPECT_EQ(s.send("turn1,0\n"), Lines{"2,0"});
    EXPECT_EQ(s.send("RESTARTING NOW\n"), Lines{"OK"});
    EXPECT_EQ(s.send("beginagain\n"), Lines{"7,7"});
    EXPECT_EQ(s.send("PLAYx 3,3\n"), Lines{"ERROR bad coordinates"});
    EXPECT_EQ(s.send("Aboutness\n"), Lines{std::string(ABOUT_REPLY)});
    EXPECT_EQ(s.send("ending\n"), Lines{});
    EXPECT_EQ(s.last_flow, Flow::End);
}

TEST(CommandInterpreterDispatch, UnmatchedLinesAreUnknown) {
    InlineSession s;
    for (const char* line : {"", " ", " START 15", "STAR 15", "hello", "\t", "\x80turn"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(s.send(std::string(line) + "\n"), Lines{"UNKNOWN command"});
    }
    EXPECT_EQ(s.front.game.board_width, 0);
    EXPECT_EQ(s.front.game.engine, nullptr);
}

TEST(CommandInterpreterDispatch, RestartIsNotTakenForRectstartOrStart) {
    InlineSession s;
    s.send("START 15\nTURN 7,7\n");
    Engine* engine = s.front.game.engine.get();
    EXPECT_EQ(s.send("RESTART\n"), Lines{"OK"});
    EXPECT_EQ(s.front.game.engine.get(), engine);
    EXPECT_EQ(s.front.game.board_width, 15);
    EXPECT_EQ(s.send("RECTSTART 20,15\n"), Lines{"OK"});
    EXPECT_NE(s.front.game.engine.get(), nullptr);
    EXPECT_EQ(s.front.game.board_width, 20);
    EXPECT_EQ(s.front.game.board_height, 15);
}

// ---------------------------------------------------------------- TURN, PLAY, BEGIN

TEST(CommandInterpreterMoves, TurnPlacesTheOpponentsStoneAndTheBrainAnswers) {
    InlineSession s;
    s.send("START 15\n");
    EXPECT_EQ(s.send("TURN 7, 7\n"), Lines{"0,0"});
    EXPECT_EQ(s.state(7, 7), 0);
    EXPECT_EQ(s.state(0, 0), 1);
    EXPECT_EQ(s.front.game.move_number(), 3);
    EXPECT_EQ(s.front.game.engine->move_count, 2);
}

TEST(CommandInterpreterMoves, BadCoordinatesPlaceNothingAndStartNoTurn) {
    InlineSession s;
    s.send("START 15\n");
    for (const char* line : {"TURN 7 ,7", "TURN -1,5", "TURN 5,-1", "TURN 15,0", "TURN 0,15", "TURN 7", "TURN",
                             "TURN a,b", "PLAY 7 ,7", "PLAY 15,3", "PLAY", "TURN 4294967303,7"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(s.send(std::string(line) + "\n"), Lines{"ERROR bad coordinates"});
        EXPECT_EQ(s.front.game.move_number(), 1);
        EXPECT_EQ(s.front.game.engine->move_count, 0);
    }
    EXPECT_TRUE(s.budgets.empty());
    EXPECT_EQ(s.send("TURN 14,14\n"), Lines{"0,0"});
}

TEST(CommandInterpreterMoves, OccupiedPointsAreRefused) {
    InlineSession s;
    s.send("START 15\nTURN 7,7\n");  // the brain answers 0,0
    const int move_number = s.front.game.move_number();
    for (const char* line : {"TURN 7,7", "TURN 0,0", "PLAY 7,7", "PLAY 0,0"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(s.send(std::string(line) + "\n"), Lines{"ERROR occupied point"});
        EXPECT_EQ(s.front.game.move_number(), move_number);
        EXPECT_EQ(s.front.game.engine->move_count, 2);
    }
    EXPECT_EQ(s.budgets.size(), 1u);
}

TEST(CommandInterpreterMoves, PlayGivesTheStoneToTheSideToMoveAndEchoesIt) {
    InlineSession s;
    s.send("START 15\n");
    EXPECT_EQ(s.send("PLAY 3,4\nPLAY 5,6\nPLAY 1,1\n"), (Lines{"3,4", "5,6", "1,1"}));
    EXPECT_EQ(s.state(3, 4), 0);
    EXPECT_EQ(s.state(5, 6), 1);
    EXPECT_EQ(s.state(1, 1), 0);
    EXPECT_EQ(s.front.game.move_number(), 4);
    EXPECT_TRUE(s.budgets.empty());
}

TEST(CommandInterpreterMoves, BeginOpensAtTheCentreWithoutASearch) {
    InlineSession s;
    EXPECT_EQ(s.send("START 15\nBEGIN\n"), (Lines{"OK", "7,7"}));
    EXPECT_EQ(s.send("START 20\nBEGIN\n"), (Lines{"OK", "10,10"}));
    EXPECT_EQ(s.send("RESTART\nBEGIN\n"), (Lines{"OK", "10,10"}));
    EXPECT_EQ(s.send("START 6\nBEGIN\n"), (Lines{"OK", "3,3"}));
    EXPECT_TRUE(s.budgets.empty());
    EXPECT_EQ(s.front.info.timeout_turn.load(), 30000);
}

TEST(CommandInterpreterMoves, RestartClearsTheBoardAndKeepsTheEngineSettings) {
    InlineSession s;
    s.send("START 15\nTURN 7,7\nTURN 8,8\n");
    s.front.game.engine->max_depth = 9;
    EXPECT_EQ(s.send("RESTART\n"), Lines{"OK"});
    EXPECT_EQ(s.front.game.move_number(), 1);
    EXPECT_EQ(s.front.game.engine->move_count, 0);
    EXPECT_EQ(s.state(7, 7), EMPTY);
    EXPECT_EQ(s.front.game.engine->max_depth, 9);
    EXPECT_EQ(s.front.game.engine->side, 0);
    EXPECT_EQ(s.send("TURN 7,7\n"), Lines{"0,0"});
    EXPECT_EQ(s.state(7, 7), 0);
}

// ---------------------------------------------------------------- the turn's budget

TEST(CommandInterpreterBudget, EachTurnGetsItsBudgetAndTheLastOneIsRemembered) {
    InlineSession s;
    s.send("START 15\nTURN 7,7\nTURN 8,8\n");
    // Moves 2 and 4 of the game: the first searched move, then the clock rule
    // from the initial settings.
    ASSERT_EQ(s.budgets.size(), 2u);
    EXPECT_EQ(s.budgets[0], 4000);
    EXPECT_EQ(s.budgets[1], 24000);
    EXPECT_EQ(s.front.info.timeout_turn.load(), 24000);
    EXPECT_EQ(s.front.info.manager_timeout_turn.load(), 30000);

    s.send("INFO timeout_turn 5000\nTURN 9,9\n");
    EXPECT_EQ(s.budgets.back(), 5000);
    EXPECT_EQ(s.front.info.timeout_turn.load(), 5000);

    s.send("INFO time_left 90000\nTURN 10,10\n");
    EXPECT_EQ(s.budgets.back(), 4500);
    EXPECT_EQ(s.front.info.timeout_turn.load(), 4500);
    // The remembered budget stands when time_left grows again.
    s.send("INFO time_left 500000\nTURN 11,11\n");
    EXPECT_EQ(s.budgets.back(), 4500);

    s.send("INFO timeout_turn 0\nTURN 12,12\n");
    EXPECT_EQ(s.budgets.back(), MINIMAL_SEARCH_MS);
    s.send("INFO timeout_turn 30000\nINFO time_left -1\nTURN 13,13\n");
    EXPECT_EQ(s.budgets.back(), MINIMAL_SEARCH_MS);
}

TEST(CommandInterpreterBudget, FirstSearchedMoveIsCappedByTheManagersLimit) {
    InlineSession s;
    s.send("INFO timeout_turn 1000\nSTART 15\nTURN 7,7\n");
    ASSERT_EQ(s.budgets.size(), 1u);
    EXPECT_EQ(s.budgets[0], 1000);
    EXPECT_EQ(s.front.info.timeout_turn.load(), 1000);
}

// ---------------------------------------------------------------- INFO, ABOUT, END

TEST(CommandInterpreterInfo, KeysAreStoredWithoutReply) {
    InlineSession s;
    EXPECT_EQ(s.send("INFO max_memory 83886080\nINFO timeout_match 180000\nINFO TIMEOUT_TURN 5000\n"
                     "info time_left 179000\nINFO game_type 0\nINFO rule 1\n"),
              Lines{});
    EXPECT_EQ(s.front.info.max_memory.load(), 83886080);
    EXPECT_EQ(s.front.info.timeout_match.load(), 180000);
    EXPECT_EQ(s.front.info.timeout_turn.load(), 5000);
    EXPECT_EQ(s.front.info.manager_timeout_turn.load(), 5000);
    EXPECT_EQ(s.front.info.time_left.load(), 179000);
    EXPECT_EQ(s.front.info.game_type.load(), 0);
    EXPECT_EQ(s.front.info.rule.load(), 1);
}

TEST(CommandInterpreterInfo, ValuesReadLikeAtoi) {
    InlineSession s;
    s.send("INFO timeout_turn\n");
    EXPECT_EQ(s.front.info.timeout_turn.load(), 0);
    EXPECT_EQ(s.front.info.manager_timeout_turn.load(), 0);
    s.send("INFO time_left -300ms\n");
    EXPECT_EQ(s.front.info.time_left.load(), -300);
    s.send("INFO time_left abc\n");
    EXPECT_EQ(s.front.info.time_left.load(), 0);
    s.send("INFO time_left2147483647\n");
    EXPECT_EQ(s.front.info.time_left.load(), 2147483647);
}

TEST(CommandInterpreterInfo, UnknownKeysChangeNothing) {
    InlineSession s;
    EXPECT_EQ(s.send("INFO\nINFO evaluate 3,4\nINFO folder /tmp\nINFO  timeout_turn 5\n"), Lines{});
    EXPECT_EQ(s.front.info.timeout_turn.load(), 5);  // blanks before the key are skipped
    s.send("INFO xtimeout_turn 7\n");
    EXPECT_EQ(s.front.info.timeout_turn.load(), 5);
    EXPECT_EQ(s.front.info.max_memory.load(), 0);
    EXPECT_EQ(s.front.info.timeout_match.load(), 1000000000);
    EXPECT_EQ(s.front.info.time_left.load(), 1000000000);
    EXPECT_EQ(s.front.info.game_type.load(), 1);
    EXPECT_EQ(s.front.info.rule.load(), 0);
}

TEST(CommandInterpreterInfo, AboutIsOneKeyValueLine) {
    InlineSession s;
    const Lines out = s.send("ABOUT\n");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NE(out[0].find("name=\"Vantrel\""), std::string::npos);
    EXPECT_NE(out[0].find("version=\"0.4\""), std::string::npos);
    EXPECT_NE(out[0].find("author=\""), std::string::npos);
    EXPECT_NE(out[0].find("date=\""), std::string::npos);
    // key="value" pairs separated by ", " and nothing else.
    std::size_t pos = 0, pairs = 0;
    while (pos < out[0].size()) {
        const std::size_t eq = out[0].find("=\"", pos);
        ASSERT_NE(eq, std::string::npos);
        const std::size_t close = out[0].find('"', eq + 2);
        ASSERT_NE(close, std::string::npos);
        ++pairs;
        pos = close + 1;
        if (pos < out[0].size()) {
            ASSERT_EQ(out[0].compare(pos, 2, ", "), 0);
            pos += 2;
        }
    }
    EXPECT_EQ(pairs, 4u);
}

TEST(CommandInterpreterInfo, EndStopsWithoutReply) {
    InlineSession s;
    EXPECT_EQ(s.send("START 15\nEND\nABOUT\n"), Lines{"OK"});
    EXPECT_EQ(s.last_flow, Flow::End);
}

// ---------------------------------------------------------------- INFO rule

// INFO rule selects the rule game, of every later game and of the game on
// the board from the next command on; a value that names no rule game is
// played as free-style, said once in a MESSAGE before the brain's next move.
TEST(CommandInterpreterInfo, RuleValuesSelectTheGameAndOthersAreAnnounced) {
    const std::string notice(FREESTYLE_ONLY_REPLY);
    InlineSession s;
    s.send("START 15\n");
    struct Case {
        const char* value;
        Rule rule;
    };
    for (const Case c : {Case{"1", Rule::Standard}, Case{"3", Rule::Standard}, Case{"2", Rule::Renju},
                         Case{"4", Rule::Renju}, Case{"7", Rule::Renju}, Case{"8", Rule::Caro}, Case{"10", Rule::Caro},
                         Case{"9", Rule::CaroExact}, Case{"11", Rule::CaroExact}, Case{"0", Rule::FreeStyle}}) {
        SCOPED_TRACE(c.value);
        // PLAY is the manager's move for the brain, not the brain's choice.
        EXPECT_EQ(s.send("INFO rule " + std::string(c.value) + "\nRESTART\nPLAY 7,7\nTURN 8,8\n"),
                  (Lines{"OK", "7,7", "0,0"}));
        EXPECT_EQ(s.front.game.engine->rule, c.rule);
    }
    for (const char* value : {"12", "16", "-1"}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(s.send("INFO rule " + std::string(value) + "\nRESTART\nBEGIN\n"), (Lines{"OK", notice, "7,7"}));
        EXPECT_EQ(s.front.game.engine->rule, Rule::FreeStyle);
    }
    // A later rule that names a game takes the notice back.
    EXPECT_EQ(s.send("INFO rule 12\nINFO rule 1\nRESTART\nBEGIN\n"), (Lines{"OK", "7,7"}));
    // A new engine (START) plays the rule too.
    EXPECT_EQ(s.send("INFO rule 4\nSTART 15\n"), Lines{"OK"});
    EXPECT_EQ(s.front.game.engine->rule, Rule::Renju);
}

// A rule sent in the middle of a game judges the stones on the board anew:
// black's row of six is no five in standard, and is one in free-style.
TEST(CommandInterpreterInfo, RuleChangedMidGameJudgesTheBoardAnew) {
    InlineSession s;
    s.send("START 15\nINFO rule 0\n");
    // Black (player 0) has 0..2 and 4..5 on row 0: the point 3,0 makes six.
    s.send("PLAY 0,0\nPLAY 0,5\nPLAY 1,0\nPLAY 1,5\nPLAY 2,0\nPLAY 2,5\nPLAY 4,0\nPLAY 3,5\nPLAY 5,0\nPLAY 9,9\n");
    const Cell& six = s.front.game.engine->cell(3 + MARGIN, 0 + MARGIN);
    EXPECT_EQ(six.status[0], STATUS_FIVE);
    s.send("INFO rule 1\nPLAY 14,14\n");  // the next command brings the rule in
    EXPECT_EQ(s.front.game.engine->rule, Rule::Standard);
    EXPECT_NE(s.front.game.engine->cell(3 + MARGIN, 0 + MARGIN).status[0], STATUS_FIVE);
    EXPECT_EQ(s.front.game.engine->move_count, 11);
}

// ---------------------------------------------------------------- engine creation failure

// An engine factory that fails while `fail` is set, counting its calls.
struct FlakyFactory {
    bool fail = true;
    int calls = 0;
    EngineFactory factory() {
        return [this](HashTables& tables) -> EnginePtr {
            ++calls;
            return fail ? nullptr : create_engine(tables);
        };
    }
};

TEST(CommandInterpreterLoadError, ReportedWithAnEmptyLineAndRetriedLater) {
    FlakyFactory engines;
    InlineSession s(engines.factory());
    EXPECT_EQ(s.send("START 15\n"), (Lines{"Korvel Engine Load Error!", ""}));
    EXPECT_EQ(s.front.game.engine, nullptr);
    EXPECT_EQ(s.front.game.move_number(), 1);
    EXPECT_EQ(s.front.game.board_width, 15);

    // Still failing: every command that needs the engine tries again and
    // stops there, touching nothing.
    for (const char* line : {"TURN 7,7", "PLAY 7,7", "BEGIN", "RESTART"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(s.send(std::string(line) + "\n"), (Lines{"Korvel Engine Load Error!", ""}));
    }
    EXPECT_EQ(s.send("BOARD\n7,7,1\n8,8,2\ndone\nABOUT\n"),
              (Lines{"Korvel Engine Load Error!", "", std::string(ABOUT_REPLY)}));
    EXPECT_EQ(engines.calls, 6);
    EXPECT_TRUE(s.budgets.empty());
    // Commands that need no engine are answered as usual; END ends.
    EXPECT_EQ(s.send("INFO timeout_turn 5\nxyz\n"), Lines{"UNKNOWN command"});

    // Memory is back: the next TURN creates the engine, answered as START
    // would, and then goes on as a TURN.
    engines.fail = false;
    EXPECT_EQ(s.send("TURN 7,7\n"), (Lines{"OK", "0,0"}));
    EXPECT_EQ(s.front.game.board_width, 15);
    EXPECT_EQ(s.front.game.engine->board_width, 15);
    EXPECT_EQ(s.state(7, 7), 0);
    EXPECT_EQ(engines.calls, 7);
    EXPECT_EQ(s.send("TURN 8,8\n"), Lines{"1,0"});
    EXPECT_EQ(engines.calls, 7);
}

TEST(CommandInterpreterLoadError, FailedStartReleasesTheOldEngine) {
    FlakyFactory engines;
    engines.fail = false;
    InlineSession s(engines.factory());
    s.send("START 15\nTURN 7,7\n");
    engines.fail = true;
    EXPECT_EQ(s.send("START 19\n"), (Lines{"Korvel Engine Load Error!", ""}));
    EXPECT_EQ(s.front.game.engine, nullptr);
    EXPECT_EQ(s.front.game.board_width, 19);
    EXPECT_EQ(s.send("END\n"), Lines{});
    EXPECT_EQ(s.last_flow, Flow::End);
    engines.fail = false;
    EXPECT_EQ(s.send("BOARD\n1,1,2\ndone\n"), (Lines{"OK", "0,0"}));
    EXPECT_EQ(s.front.game.board_width, 19);
    EXPECT_EQ(s.state(1, 1), 0);
}

TEST(CommandInterpreterLoadError, DefaultGameCanFailToo) {
    FlakyFactory engines;
    InlineSession s(engines.factory());
    EXPECT_EQ(s.send("BEGIN\n"), (Lines{"Korvel Engine Load Error!", ""}));
    EXPECT_EQ(s.front.game.board_width, DEFAULT_BOARD_SIZE);
    engines.fail = false;
    EXPECT_EQ(s.send("BEGIN\n"), (Lines{"OK", "10,10"}));
}

// ---------------------------------------------------------------- no move to give

TEST(CommandInterpreterFullBoard, NoMoveIsAnErrorLine) {
    InlineSession s;
    s.send("START 5\n");
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) s.send("PLAY " + std::to_string(x) + "," + std::to_string(y) + "\n");
    ASSERT_EQ(s.front.game.engine->move_count, 25);
    EXPECT_EQ(s.send("BEGIN\n"), Lines{"ERROR no empty point"});
    EXPECT_EQ(s.front.game.engine->move_count, 25);
    EXPECT_EQ(s.send("TURN 2,2\n"), Lines{"ERROR occupied point"});
    EXPECT_TRUE(s.budgets.empty());
}

TEST(CommandInterpreterFullBoard, BoardBlockThatFillsTheBoard) {
    InlineSession s;
    s.send("START 5\n");
    std::string block = "BOARD\n";
    // 13 stones of the opponent and 12 of the brain, listed by colour.
    for (int i = 0; i < 25; ++i)
        block += std::to_string(i % 5) + "," + std::to_string(i / 5) + "," + (i < 13 ? "2" : "1") + "\n";
    EXPECT_EQ(s.send(block + "done\n"), Lines{"ERROR no empty point"});
    EXPECT_EQ(s.front.game.engine->move_count, 25);
}

// A chooser that answers an occupied or outside point must not make the
// brain play there: an empty cell of the board is played instead.
TEST(CommandInterpreterFullBoard, BadPointFromTheChooserIsNeverPlayed) {
    for (const BoardPoint bad : {BoardPoint{7, 7}, BoardPoint{-1, -1}, BoardPoint{15, 3}, BoardPoint{3, 15}}) {
        InlineSession s(create_engine, [bad](Engine&) { return bad; });
        s.send("START 15\n");
        const Lines out = s.send("TURN 7,7\n");
        ASSERT_EQ(out, Lines{"0,0"});
        EXPECT_EQ(s.state(7, 7), 0);
        EXPECT_EQ(s.state(0, 0), 1);
    }
}

}  // namespace
}  // namespace vantrel::testing
