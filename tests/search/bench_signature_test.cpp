// The search bench's node counts on a few of its smaller positions, at the
// bench's own depth: a change that makes the search visit other nodes, or the
// same nodes in another order, fails here before it reaches the signature.
// Speed work must leave these numbers alone.
#include <gtest/gtest.h>

#include <memory>
#include <string_view>

#include "bench/bench_positions.h"
#include "board/engine_object.h"
#include "search/iterative_deepening.h"

namespace vantrel {
namespace {

struct ExpectedCount {
    std::string_view position;
    int nodes;
};

// Counts of vantrel-bench at depth 8 for the bench signature 3353656.
constexpr ExpectedCount EXPECTED[] = {
    {"15 near the edge", 20692},
    {"15 tactics, fours", 24763},
    {"15 tactics, defend", 4633},
    {"20 opening, 6 stones", 128757},
};

TEST(BenchSignature, NodeCountsOfBenchPositionsUnchanged) {
    auto e = std::make_unique<Engine>();
    for (const ExpectedCount& expected : EXPECTED) {
        const bench::BenchPosition* found = nullptr;
        for (const bench::BenchPosition& p : bench::bench_positions())
            if (p.name == expected.position) found = &p;
        ASSERT_NE(found, nullptr) << expected.position;
        const auto moves = bench::moves_of(*found);
        ASSERT_TRUE(bench::moves_are_legal(moves, *found)) << expected.position;
        bench::set_up(*e, *found, moves, bench::DEFAULT_BENCH_DEPTH);
        iterative_deepening_report(*e);
        EXPECT_EQ(e->node_count, expected.nodes) << expected.position;
    }
}

}  // namespace
}  // namespace vantrel
