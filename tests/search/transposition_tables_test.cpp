// The two transposition tables on real positions: the probe's bound logic and
// mate-range shift, which stores a deeper bounded entry refuses, positions
// that share a slot, and the threat table's 8-bit outcomes.
#include "search/transposition_tables.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>

#include "support/position_setup.h"

namespace vantrel {
namespace {

using testing::engine_from_moves;

constexpr int NO_ALPHA = -32000, NO_BETA = 32000;

class SearchTableTest : public ::testing::Test {
protected:
    // One stone in the middle of a 15 x 15 board: a real position with its
    // own hash words.
    std::unique_ptr<Engine> e = engine_from_moves(15, {{7, 7}});
    HashStore& h = e->hash;
    ProbeOut out;
};

TEST_F(SearchTableTest, EmptyTableMissesEverything) {
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 0, 0, out), PROBE_MISS);
    int x = 0, y = 0, value = 0;
    EXPECT_FALSE(h.stored_move(x, y));
    EXPECT_FALSE(h.search_lookup_fixed(0, value));
    EXPECT_FALSE(h.threat_probe(value));
}

TEST_F(SearchTableTest, LowerBoundCutsOnlyAtOrAboveBetaAndOnlyWhenDeepEnough) {
    h.search_store(pack_move(11, 12), 500, BOUND_LOWER, 3);

    EXPECT_EQ(h.search_probe(NO_ALPHA, 400, 3, 0, out), 500);
    EXPECT_EQ(out.x, 11);
    EXPECT_EQ(out.y, 12);
    EXPECT_EQ(out.value, 500);
    EXPECT_EQ(h.search_probe(NO_ALPHA, 500, 3, 0, out), 500) << "v >= beta includes equality";
    EXPECT_EQ(h.search_probe(NO_ALPHA, 600, 3, 0, out), PROBE_MOVE_ONLY);
    EXPECT_EQ(out.value, 500);
    EXPECT_EQ(h.search_probe(NO_ALPHA, 400, 4, 0, out), PROBE_MOVE_ONLY) << "stored at depth 3, asked for 4";
    // A lower bound says nothing about the alpha side.
    EXPECT_EQ(h.search_probe(600, 700, 3, 0, out), PROBE_MOVE_ONLY);
}

TEST_F(SearchTableTest, UpperBoundCutsOnlyAtOrBelowAlpha) {
    h.search_store(pack_move(9, 9), -300, BOUND_UPPER, 2);
    EXPECT_EQ(h.search_probe(-300, NO_BETA, 2, 0, out), -300);
    EXPECT_EQ(h.search_probe(-200, NO_BETA, 1, 0, out), -300) << "a deeper entry serves a shallower probe";
    EXPECT_EQ(h.search_probe(-400, NO_BETA, 2, 0, out), PROBE_MOVE_ONLY);
    EXPECT_EQ(h.search_probe(NO_ALPHA, -500, 2, 0, out), PROBE_MOVE_ONLY) << "an upper bound never cuts on beta";
}

TEST_F(SearchTableTest, ExactValueIsUsedInsideAnyWindow) {
    h.search_store(pack_move(9, 9), 42, BOUND_EXACT, 2);
    EXPECT_EQ(h.search_probe(-10, 10, 2, 0, out), 42);
    EXPECT_EQ(h.search_probe(100, 200, 1, 0, out), 42);
    EXPECT_EQ(h.search_probe(100, 200, 3, 0, out), PROBE_MOVE_ONLY);
}

TEST_F(SearchTableTest, ShallowEntryWithoutCutoffIsAMiss) {
    h.search_store(pack_move(9, 9), 42, BOUND_LOWER, 0);
    EXPECT_EQ(h.search_probe(NO_ALPHA, 100, 0, 0, out), PROBE_MISS) << "depth 0 gives no move either";
    EXPECT_EQ(h.search_probe(NO_ALPHA, 10, 0, 0, out), 42);
}

TEST_F(SearchTableTest, WonAndLostScoresMoveTowardsZeroByPlyWhateverTheDepth) {
    h.search_store(pack_move(9, 9), 29999, BOUND_EXACT, 1);
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 6, 4, out), 29995);
    EXPECT_EQ(out.value, 29995);

    h.search_store(pack_move(9, 9), -29998, BOUND_UPPER, 1);
    EXPECT_EQ(h.search_probe(-29000, NO_BETA, 9, 3, out), -29995);

    // The edges of the range: 10000 and -10000 are shifted and trusted,
    // 9999 is an ordinary score and needs an entry deep enough.
    h.search_store(pack_move(9, 9), 10000, BOUND_EXACT, 1);
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 5, 2, out), 9998);
    h.search_store(pack_move(9, 9), -10000, BOUND_EXACT, 1);
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 5, 2, out), -9998);
    h.search_store(pack_move(9, 9), 9999, BOUND_EXACT, 1);
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 5, 2, out), PROBE_MOVE_ONLY);
    EXPECT_EQ(out.value, 9999);
}

TEST_F(SearchTableTest, EntryWithoutBoundIsNeitherShiftedNorUsedForCutoffs) {
    h.search_store_fixed(29999, 2, e->move_count, pack_move(10, 10));
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 1, 4, out), PROBE_MOVE_ONLY);
    EXPECT_EQ(out.value, 29999);
    EXPECT_EQ(out.x, 10);
}

TEST_F(SearchTableTest, DeeperBoundedEntryRefusesShallowerStores) {
    h.search_store(pack_move(9, 9), 100, BOUND_LOWER, 5);
    h.search_store(pack_move(10, 10), 200, BOUND_EXACT, 4);
    EXPECT_EQ(h.search_probe(NO_ALPHA, 100, 5, 0, out), 100);
    EXPECT_EQ(out.x, 9);

    h.search_store(pack_move(10, 10), 200, BOUND_EXACT, 5);
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 5, 0, out), 200) << "equal depth overwrites";
    EXPECT_EQ(out.x, 10);
}

TEST_F(SearchTableTest, DeeperEntryWithoutBoundDoesNotRefuse) {
    h.search_store_fixed(7, 9, e->move_count, pack_move(9, 9));
    h.search_store(pack_move(10, 10), 200, BOUND_EXACT, 1);
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 1, 0, out), 200);
}

TEST_F(SearchTableTest, FixedStoreKeepsTheSlotsFlags) {
    h.search_store(pack_move(9, 9), 100, BOUND_EXACT, 7);
    h.search_store_fixed(-55, 2, e->move_count, pack_move(10, 11));
    // The exact flag survives, so the fixed store's value now reads as exact
    // at depth 2 and still refuses a shallower bounded store.
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 2, 0, out), -55);
    EXPECT_EQ(out.y, 11);
    h.search_store(pack_move(12, 12), 300, BOUND_LOWER, 1);
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 2, 0, out), -55);
}

TEST_F(SearchTableTest, FixedLookupNeedsExactlyTheSameDepth) {
    h.search_store_fixed(-123, 4, e->move_count, pack_move(10, 10));
    int value = 0;
    EXPECT_FALSE(h.search_lookup_fixed(3, value));
    EXPECT_FALSE(h.search_lookup_fixed(5, value));
    ASSERT_TRUE(h.search_lookup_fixed(4, value));
    EXPECT_EQ(value, -123);
}

TEST_F(SearchTableTest, StoredMoveNeedsAMoveAndANonNegativeDepth) {
    int x = 0, y = 0;
    h.search_store(pack_move(0, 7), 1, BOUND_EXACT, 3);
    EXPECT_FALSE(h.stored_move(x, y)) << "x = 0 means no move";
    h.search_store_fixed(1, -1, e->move_count, pack_move(9, 8));
    EXPECT_FALSE(h.stored_move(x, y)) << "negative depth";
    h.search_store_fixed(1, 0, e->move_count, pack_move(9, 8));
    ASSERT_TRUE(h.stored_move(x, y));
    EXPECT_EQ(x, 9);
    EXPECT_EQ(y, 8);
}

TEST_F(SearchTableTest, ClearBoundsKeepsMovesButDropsCutoffsAndRefusals) {
    h.search_store(pack_move(9, 10), 500, BOUND_EXACT, 8);
    h.clear_bounds();
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 1, 0, out), PROBE_MOVE_ONLY);
    EXPECT_EQ(out.x, 9);
    int x = 0, y = 0;
    ASSERT_TRUE(h.stored_move(x, y));
    EXPECT_EQ(y, 10);
    h.search_store(pack_move(11, 11), 7, BOUND_LOWER, 1);
    EXPECT_EQ(h.search_probe(NO_ALPHA, 7, 1, 0, out), 7);
}

TEST_F(SearchTableTest, FieldsKeepSixteenBitsWithSign) {
    h.search_store(pack_move(35, 35), -9999, BOUND_EXACT, -3);
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, -3, 0, out), -9999);
    EXPECT_EQ(out.x, 35);
    EXPECT_EQ(out.y, 35);
}

// Two positions of the same game tree that land in the same slot: X then O
// on two different pairs of cells whose index keys add up alike. Found by
// playing pairs until two collide (the index has only 18 bits).
struct SlotSharers {
    std::pair<int, int> a[2], b[2];
};

SlotSharers find_slot_sharers(Engine& e) {
    std::map<int, std::pair<int, int>> seen;  // hash_index -> the two cells, packed
    for (int first = 0; first < 225; ++first) {
        for (int second = 0; second < 225; ++second) {
            if (second == first) continue;
            e.move(first % 15, first / 15);
            e.move(second % 15, second / 15);
            const int index = static_cast<int>(e.hash.hash_index & HASH_INDEX_MASK);
            e.undo();
            e.undo();
            auto [it, fresh] = seen.emplace(index, std::pair{first, second});
            if (!fresh) {
                const auto [f0, s0] = it->second;
                return {{{f0 % 15, f0 / 15}, {s0 % 15, s0 / 15}},
                        {{first % 15, first / 15}, {second % 15, second / 15}}};
            }
        }
    }
    ADD_FAILURE() << "no two positions share a slot";
    return {};
}

class SharedSlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        pair = find_slot_sharers(*e);
        go_to(pair.a);
        a_check1 = e->hash.hash_check1;
        go_to(pair.b);
        ASSERT_NE(e->hash.hash_check1, a_check1) << "the two positions must differ in their check words";
    }
    void go_to(const std::pair<int, int> (&moves)[2]) {
        while (e->move_count > 0) e->undo();
        e->move(moves[0].first, moves[0].second);
        e->move(moves[1].first, moves[1].second);
    }

    std::unique_ptr<Engine> e = testing::new_engine(15);
    SlotSharers pair;
    std::uint32_t a_check1 = 0;
    ProbeOut out;
};

TEST_F(SharedSlotTest, OnePositionNeverReadsTheOthersEntry) {
    go_to(pair.a);
    const std::uint32_t slot = e->hash.hash_index & HASH_INDEX_MASK;
    e->hash.search_store(pack_move(9, 9), 77, BOUND_EXACT, 4);
    e->hash.threat_store(3, pack_move(9, 9));
    go_to(pair.b);
    ASSERT_EQ(e->hash.hash_index & HASH_INDEX_MASK, slot);
    int x = 0, y = 0, value = 0;
    EXPECT_EQ(e->hash.search_probe(NO_ALPHA, NO_BETA, 1, 0, out), PROBE_MISS);
    EXPECT_FALSE(e->hash.stored_move(x, y));
    EXPECT_FALSE(e->hash.search_lookup_fixed(4, value));
    EXPECT_FALSE(e->hash.threat_probe(value));
}

TEST_F(SharedSlotTest, DeeperBoundedEntryOfAnotherPositionStays) {
    go_to(pair.a);
    e->hash.search_store(pack_move(9, 9), 77, BOUND_UPPER, 4);
    go_to(pair.b);
    e->hash.search_store(pack_move(10, 10), 88, BOUND_EXACT, 3);
    EXPECT_EQ(e->hash.search_probe(NO_ALPHA, NO_BETA, 1, 0, out), PROBE_MISS);
    go_to(pair.a);
    EXPECT_EQ(e->hash.search_probe(100, NO_BETA, 4, 0, out), 77) << "a's entry survived";

    go_to(pair.b);
    e->hash.search_store(pack_move(10, 10), 88, BOUND_EXACT, 4);
    EXPECT_EQ(e->hash.search_probe(NO_ALPHA, NO_BETA, 4, 0, out), 88);
    go_to(pair.a);
    EXPECT_EQ(e->hash.search_probe(NO_ALPHA, NO_BETA, 1, 0, out), PROBE_MISS) << "equal depth replaced it";
}

class ThreatTableTest : public SearchTableTest {};

TEST_F(ThreatTableTest, KeepsSignedEightBitOutcomes) {
    int value = 0;
    for (int outcome : {0, 1, -2, 5, -128, 127}) {
        h.threat_store(outcome, pack_move(4, 4));
        ASSERT_TRUE(h.threat_probe(value));
        EXPECT_EQ(value, outcome);
    }
}

TEST_F(ThreatTableTest, OutcomeBeyondEightBitsStoresNothing) {
    int value = 0;
    h.threat_store(128, 0);
    EXPECT_FALSE(h.threat_probe(value)) << "128 would read back as -128";
    h.threat_store(-129, 0);
    EXPECT_FALSE(h.threat_probe(value));

    h.threat_store(7, 0);
    h.threat_store(131, 0);
    h.threat_store(-200, 0);
    ASSERT_TRUE(h.threat_probe(value));
    EXPECT_EQ(value, 7) << "an earlier entry is left as it was";
}

TEST_F(ThreatTableTest, IsSeparateFromTheSearchTable) {
    h.threat_store(9, pack_move(9, 9));
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 0, 0, out), PROBE_MISS);
    h.search_store(pack_move(9, 9), 1, BOUND_EXACT, 1);
    int value = 0;
    ASSERT_TRUE(h.threat_probe(value));
    EXPECT_EQ(value, 9);
}

TEST_F(ThreatTableTest, ResetEmptiesBothTables) {
    h.threat_store(9, pack_move(9, 9));
    h.search_store(pack_move(9, 9), 1, BOUND_EXACT, 1);
    // Back to the same hash words on the new board: reset leaves them alone.
    e->undo();
    e->reset(15);
    e->move(7, 7);
    int value = 0, x = 0, y = 0;
    EXPECT_FALSE(h.threat_probe(value));
    EXPECT_FALSE(h.stored_move(x, y));
    EXPECT_EQ(h.search_probe(NO_ALPHA, NO_BETA, 0, 0, out), PROBE_MISS);
}

}  // namespace
}  // namespace vantrel
