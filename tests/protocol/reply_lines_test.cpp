// The analysis lines' fields: forced results as moves of the winner, the
// win-rate curve's ends and middle, the steadied score, the FORBID digits,
// and the checker refusing what would crash or mislead the GUI.
#include "protocol/reply_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

TEST(ReplyLines, ForcedResultsCountTheWinnersMoves) {
    EXPECT_EQ(eval_text(WIN_SCORE - 1), "+M1");  // five on the next stone
    EXPECT_EQ(eval_text(WIN_SCORE - 3), "+M2");
    EXPECT_EQ(eval_text(-WIN_SCORE + 2), "-M1");  // the opponent's five on its next stone
    EXPECT_EQ(eval_text(-WIN_SCORE + 4), "-M2");
    EXPECT_EQ(eval_text(DECIDED_SCORE - 1), std::to_string(DECIDED_SCORE - 1));
    EXPECT_EQ(eval_text(-37), "-37");
    EXPECT_EQ(win_rate_text(WIN_SCORE - 9), "1.000");
    EXPECT_EQ(win_rate_text(-WIN_SCORE + 8), "0.000");
    EXPECT_EQ(win_rate_text(0), "0.500");
    EXPECT_LT(win_rate(-1), 0.5);
    EXPECT_NEAR(win_rate(static_cast<int>(WIN_RATE_SCALE)) + win_rate(-static_cast<int>(WIN_RATE_SCALE)), 1.0, 1e-12);
}

// The best line reads the mean of the last two best scores; every line is
// moved alike, so the lines keep their order.
TEST(ReplyLines, SteadyEvalTakesHalfTheIterationsTiltOffEveryLine) {
    EXPECT_EQ(steady_eval(67, 67, std::nullopt), 67);
    EXPECT_EQ(steady_eval(7, 7, 67), 37);
    EXPECT_EQ(steady_eval(5, 7, 67), 35);
    EXPECT_EQ(steady_eval(-7, -7, -66), -36);
    EXPECT_EQ(steady_eval(WIN_SCORE - 5, 40, 60), WIN_SCORE - 5);
    EXPECT_EQ(steady_eval(40, 40, WIN_SCORE - 5), 40);
}

TEST(ReplyLines, ForbidPointsAreFourDigitsEach) {
    EXPECT_EQ(forbid_line({}), "FORBID .");
    const BoardPoint points[] = {{7, 8}, {9, 10}, {0, 31}};
    EXPECT_EQ(forbid_line(points), "FORBID 070809100031.");
    EXPECT_TRUE(is_analysis_line(forbid_line(points)));
}

TEST(ReplyLines, CheckerHoldsEveryKeyToAValue) {
    PvLine line;
    line.length = 2;
    line.moves[0] = pv_move(7 + MARGIN, 8 + MARGIN);
    line.moves[1] = pv_move(MARGIN, MARGIN);
    for (const std::string& text : pv_block(1, 3, 9, WIN_SCORE - 3, line)) EXPECT_TRUE(is_analysis_line(text)) << text;
    EXPECT_EQ(pv_block(1, 3, 9, 5, line)[5], "INFO BESTLINE 7,8 0,0");
    for (const char* bad : {"INFO PV", "INFO PV ", "INFO EVAL +M", "INFO EVAL M3", "INFO WINRATE 1.5", "INFO BESTLINE",
                            "INFO BESTLINE 7,8 ", "INFO DEPTH -1", "MESSAGE REALTIME BEST", "FORBID 070.", "INFO X 1"})
        EXPECT_FALSE(is_analysis_line(bad)) << bad;
}

// Root moves show only once the search has run a while, each DONE after its
// own POS, and the marks are cleared after the iteration's best move.
TEST(ReplyLines, RootMovesAfterTheFirstSecondEachDoneAfterItsPos) {
    std::vector<std::string> lines;
    std::int64_t now = 0;
    AnalysisReport report([&](std::string_view l) { lines.emplace_back(l); }, [&] { return now; });
    const Point a{7 + MARGIN, 7 + MARGIN}, b{8 + MARGIN, 7 + MARGIN};
    report.root_move(a, false);
    now = AnalysisReport::ROOT_MOVES_AFTER_MS;
    report.root_move(a, true);
    report.root_move(b, false);
    report.root_move(b, true);
    PvLine line;
    line.length = 1;
    line.moves[0] = pv_move(b.x, b.y);
    report.iteration({7, 12, 100, now, line.moves, 1, &line, 1});
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "MESSAGE REALTIME POS 8,7");
    EXPECT_EQ(lines[1], "MESSAGE REALTIME DONE 8,7");
    EXPECT_EQ(lines[2], "INFO PV 0");
    EXPECT_EQ(lines[9], "MESSAGE REALTIME BEST 8,7");
    EXPECT_EQ(lines[10], REALTIME_REFRESH);
}

}  // namespace
}  // namespace vantrel
