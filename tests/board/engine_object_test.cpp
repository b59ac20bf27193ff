// The engine object: reset to an empty board (square and rectangular), its
// frame, the fixed operations, and the position-hash keys.
#include "board/engine_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "board/pattern_tables.h"
#include "board/zobrist.h"
#include "search/transposition_tables.h"
#include "support/position_setup.h"

namespace vantrel {
namespace {

using testing::new_engine;

TEST(EngineReset, StartingAreaIsTheCentreSquare) {
    struct Case {
        int width, height, x_lo, y_lo;
    };
    // Low corners in protocol coordinates.
    for (const Case c : {Case{15, 15, 6, 6}, Case{20, 20, 9, 9}, Case{5, 5, 1, 1}, Case{20, 15, 9, 6},
                         Case{5, 32, 1, 15}, Case{32, 32, 15, 15}}) {
        auto e = new_engine(c.width, c.height);
        EXPECT_EQ(e->area.x_min, c.x_lo + MARGIN) << c.width << "x" << c.height;
        EXPECT_EQ(e->area.y_min, c.y_lo + MARGIN);
        EXPECT_EQ(e->area.x_max, c.x_lo + MARGIN + 2);
        EXPECT_EQ(e->area.y_max, c.y_lo + MARGIN + 2);
        EXPECT_EQ(e->side, 0);
        EXPECT_EQ(e->other, 1);
        EXPECT_EQ(e->move_count, 0);
    }
}

TEST(EngineReset, FrameIsEnteredInBothMasks) {
    auto e = new_engine(15);
    // Left edge away from the corners: the four cells back along the row are
    // outside, the four forward are not.
    const int lo = MARGIN, hi = MARGIN + 14;  // the first and last playable
    const Cell& left = e->cell(lo, lo + 6);
    EXPECT_EQ(left.line_mask[0][0], 0x0F);
    EXPECT_EQ(left.line_mask[0][1], 0x0F);
    // The first corner: along (1, -1) both neighbours are outside.
    EXPECT_EQ(e->cell(lo, lo).line_mask[3][0], 0xFF);
    EXPECT_EQ(e->cell(lo, lo).line_mask[3][1], 0xFF);
    EXPECT_EQ(e->cell(lo, lo).state, EMPTY);
    EXPECT_EQ(e->cell(lo - 1, lo).state, OUTSIDE);
    EXPECT_EQ(e->cell(hi, hi).state, EMPTY);
    EXPECT_EQ(e->cell(hi + 1, hi).state, OUTSIDE);
    // On an empty board no playable cell has any status.
    for (int x = lo; x <= hi; ++x)
        for (int y = lo; y <= hi; ++y) {
            EXPECT_EQ(e->cell(x, y).status[0], 0);
            EXPECT_EQ(e->cell(x, y).status[1], 0);
        }
}

TEST(EngineReset, RectangleHasItsOwnEdges) {
    auto e = new_engine(20, 7);
    EXPECT_EQ(e->cell(19 + MARGIN, 6 + MARGIN).state, EMPTY);
    EXPECT_EQ(e->cell(19 + MARGIN, 7 + MARGIN).state, OUTSIDE);
    EXPECT_EQ(e->cell(20 + MARGIN, 6 + MARGIN).state, OUTSIDE);
    // Bottom row: the cells below are outside in the vertical direction.
    EXPECT_EQ(e->cell(8 + MARGIN, 6 + MARGIN).line_mask[1][0], 0xF0);
    e->move(19, 6);  // the far corner
    EXPECT_EQ(e->area.x_max, 19 + MARGIN);
    EXPECT_EQ(e->area.y_max, 6 + MARGIN);
}

TEST(EngineReset, SmallerBoardAfterLargerGameLeavesNoTrace) {
    auto big = new_engine(32);
    // Fill a fair part of the big board, fours included.
    for (int i = 0; i < 300; ++i) {
        const int x = MARGIN + (i * 7) % 32, y = MARGIN + (i * 11 + i / 32) % 32;
        if (big->cell(x, y).state == EMPTY) big->make(x, y);
    }
    ASSERT_GT(big->status_count[0][STATUS_FIVE] + big->status_count[1][STATUS_FIVE] +
                  big->status_count[0][STATUS_OPEN_FOUR] + big->status_count[1][STATUS_OPEN_FOUR],
              0);
    big->reset(9);
    auto fresh = new_engine(9);
    for (int x = 0; x < 9 + 2 * MARGIN; ++x)
        for (int y = 0; y < 9 + 2 * MARGIN; ++y) {
            const Cell &a = big->cell(x, y), &b = fresh->cell(x, y);
            ASSERT_EQ(a.state, b.state) << x << "," << y;
            ASSERT_EQ(0, std::memcmp(a.line_mask, b.line_mask, sizeof a.line_mask)) << x << "," << y;
            if (a.state == OUTSIDE) continue;
            ASSERT_EQ(0, std::memcmp(a.line_type, b.line_type, sizeof a.line_type)) << x << "," << y;
            ASSERT_EQ(0, std::memcmp(a.status, b.status, sizeof a.status)) << x << "," << y;
            ASSERT_EQ(a.near1, b.near1);
            ASSERT_EQ(a.near2, b.near2);
        }
    for (int p = 0; p < 2; ++p)
        for (int v = 0; v <= 10; ++v) EXPECT_EQ(big->status_count[p][v], 0);
    EXPECT_EQ(big->move_count, 0);
    EXPECT_EQ(big->side, 0);
}

TEST(EngineReset, EmptiesBothTablesButKeepsStoredMoves) {
    auto e = new_engine(15);
    e->move(7, 7);
    const std::uint32_t slot = e->hash.hash_index;
    e->hash.search_store(pack_move(9, 10), 100, BOUND_EXACT, 3);
    e->hash.threat_store(5, pack_move(7, 7));
    e->reset(15);
    const SearchEntry& s = e->hash.SearchTable[slot];
    EXPECT_EQ(s.check1, 0u);
    EXPECT_EQ(s.check2, 0u);
    EXPECT_EQ(s.value, 0);
    EXPECT_EQ(s.depth, 0);
    EXPECT_EQ(s.stones, 0);
    EXPECT_EQ(s.flags, 0);
    EXPECT_EQ(s.best_move.x, 9);
    EXPECT_EQ(s.best_move.y, 10);
    const ThreatEntry& t = e->hash.ThreatTable[slot];
    EXPECT_EQ(t.check1, 0u);
    EXPECT_EQ(t.check2, 0u);
    EXPECT_EQ(t.value, 5);

    // A second game that stores nothing, then a third: the entries a store
    // of the second game would have made are gone as well.
    e->move(7, 7);
    e->hash.search_store_fixed(7, 2, 1, pack_move(8, 8));
    e->reset(15);
    EXPECT_EQ(s.check1 | s.check2, 0u);
    EXPECT_EQ(s.depth, 0);
    e->reset(15);
    e->move(7, 7);
    int x = 0, y = 0;
    EXPECT_FALSE(e->hash.stored_move(x, y));
}

TEST(EngineObject, FixedOperations) {
    auto e = new_engine(15);
    EXPECT_STREQ(e->name(), "Vantrel");
    e->move(7, 7);
    const std::uint32_t index = e->hash.hash_index;
    e->idle();
    EXPECT_EQ(e->hash.hash_index, index);
    EXPECT_EQ(e->move_count, 1);
    EXPECT_EQ(e->cell(7 + MARGIN, 7 + MARGIN).state, 0);
}

TEST(EngineObject, FreshEngineHasNoStoredMoves) {
    auto e = std::make_unique<Engine>();
    for (int i = 0; i < SEARCH_TABLE_SIZE; i += 997) {
        EXPECT_EQ(e->hash.SearchTable[i].best_move.x, 0);
        EXPECT_EQ(e->hash.SearchTable[i].best_move.y, 0);
    }
    for (int i = 0; i < SEARCH_TABLE_SIZE; i += 997) {
        const ThreatEntry& t = e->hash.ThreatTable[i];
        EXPECT_EQ(t.check1 | t.check2, 0u);
        EXPECT_EQ(t.best_move.x | t.best_move.y, 0);
    }
    EXPECT_EQ(e->history[0].x, 0);
    EXPECT_EQ(e->area.x_max, 0);
}

TEST(ZobristKeys, InRangeAndDistinctPerTable) {
    for (const auto* table : {&ZobristTables.index, &ZobristTables.check1, &ZobristTables.check2}) {
        std::set<std::uint32_t> seen;
        for (const auto& player : *table)
            for (const auto& row : player)
                for (std::uint32_t key : row) {
                    EXPECT_GT(key, 0u);
                    EXPECT_LT(key, 1u << 30);
                    seen.insert(key);
                }
        EXPECT_EQ(seen.size(), 2u * 32 * 32);
    }
}

#ifndef NDEBUG
// Debug builds check the callers' duties.
TEST(EngineDeathTest, CallersDutiesAreAsserted) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto e = new_engine(15);
    EXPECT_DEATH(e->undo(), "move_count > 0");
    e->move(7, 7);
    EXPECT_DEATH(e->move(7, 7), "EMPTY");
    EXPECT_DEATH(e->make(MARGIN - 1, 10), "");
    EXPECT_DEATH(e->reset(4), "");
    EXPECT_DEATH(e->reset(33), "");
}
#endif

}  // namespace
}  // namespace vantrel
