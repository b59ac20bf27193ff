// Several lines per iteration: line k must be what a search of its own finds
// when the moves of lines 0 .. k - 1 are left out; telling an observer of
// every root move must not change the search; a root whose candidates are
// all left out gives fewer lines.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bench/bench_positions.h"
#include "search/iterative_deepening.h"
#include "search/pv_search.h"
#include "search_setup.h"
#include "support/position_setup.h"
#include "tactical_positions.h"

namespace vantrel::testing {
namespace {

constexpr int DEPTH = 6;

std::unique_ptr<Engine> position(const char* name) {
    auto e = std::make_unique<Engine>();
    for (const bench::BenchPosition& p : bench::bench_positions())
        if (std::string_view(p.name) == name) bench::set_up(*e, p, bench::moves_of(p), DEPTH);
    e->turn_time_ms = AMPLE_TURN_MS;
    return e;
}

Point first_move(const PvLine& line) {
    return Point{static_cast<std::uint8_t>(pv_move_x(line.moves[0])),
                 static_cast<std::uint8_t>(pv_move_y(line.moves[0]))};
}

// The last iteration's lines of a search.
std::vector<PvLine> search(Engine& e, int lines, std::vector<Point> excluded) {
    DeepeningOptions options;
    options.lines = lines;
    options.excluded = std::move(excluded);
    std::vector<PvLine> last;
    options.on_iteration = [&](const IterationReport& it) { last.assign(it.lines, it.lines + it.line_count); };
    iterative_deepening_report(e, options);
    return last;
}

TEST(MultiPv, EachLineIsTheSearchWithoutTheMovesBefore) {
    for (const char* name : {"15 opening, 3 stones", "15 middle game, 12 stones"}) {
        SCOPED_TRACE(name);
        auto e = position(name);
        const std::vector<PvLine> lines = search(*e, 3, {});
        ASSERT_EQ(lines.size(), 3u);
        std::vector<Point> before;
        for (const PvLine& line : lines) {
            auto alone = position(name);
            const std::vector<PvLine> own = search(*alone, 1, before);
            ASSERT_EQ(own.size(), 1u);
            EXPECT_EQ(own[0].moves[0], line.moves[0]);
            EXPECT_EQ(own[0].score, line.score);
            EXPECT_LE(line.score, lines[0].score);
            before.push_back(first_move(line));
        }
    }
}

TEST(MultiPv, ObservingRootMovesChangesNothing) {
    auto plain = position("15 near the edge");
    iterative_deepening_report(*plain);
    auto observed = position("15 near the edge");
    DeepeningOptions options;
    int calls = 0;
    options.on_root_move = [&](Point, bool) { ++calls; };
    iterative_deepening_report(*observed, options);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(observed->node_count, plain->node_count);
    EXPECT_EQ(observed->pv_table.pv[0][0], plain->pv_table.pv[0][0]);
}

TEST(MultiPv, ForcedRootGivesOneLine) {
    // The opponent's five point has one block: a single candidate, so one
    // line however many are asked, and the block is it.
    auto e = engine_from_picture(OPPONENT_FIVE_POINT);
    e->max_depth = DEPTH;
    e->turn_time_ms = AMPLE_TURN_MS;
    const std::vector<PvLine> lines = search(*e, 4, {});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].moves[0], pv_move(OPPONENT_FIVE.first + MARGIN, OPPONENT_FIVE.second + MARGIN));
}

}  // namespace
}  // namespace vantrel::testing
