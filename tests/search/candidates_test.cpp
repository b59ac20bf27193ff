// Candidate generation and ordering: the stored move's special place and the
// checks on it, the forced-reply cuts, the bound of 256 entries on crowded
// boards (against a straightforward unbounded reference), the stable sort.
#include "search/candidates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "board/pattern_tables.h"
#include "search/transposition_tables.h"
#include "support/position_setup.h"
#include "support/position_snapshot.h"
#include "support/random_positions.h"

namespace vantrel {
namespace {

using testing::engine_from_moves;
using testing::engine_from_picture;
using testing::picture_of;

struct Entry {
    int x, y, priority;  // protocol coordinates
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Entry& c) {
    return os << "(" << c.x << "," << c.y << " p" << c.priority << ")";
}

std::vector<Entry> entries_of(const CandidateList& list) {
    std::vector<Entry> out;
    for (int i = 0; i < list.count; ++i)
        out.push_back({list.entries[i].x - MARGIN, list.entries[i].y - MARGIN, list.entries[i].priority});
    return out;
}

// A list with a guard word right behind it: writing one entry too many would
// land on the count and then the guard.
struct GuardedList {
    CandidateList list;
    std::uint32_t guard[4] = {0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF};
    bool intact() const {
        return std::all_of(std::begin(guard), std::end(guard), [](auto g) { return g == 0xDEADBEEF; });
    }
};

std::vector<Entry> candidates(Engine& e) {
    auto g = std::make_unique<GuardedList>();
    const testing::PositionSnapshot before(e);
    generate_candidates(e, g->list);
    EXPECT_TRUE(g->intact()) << "written past the list";
    EXPECT_LE(g->list.count, MAX_CANDIDATES);
    EXPECT_STREQ(before.difference(e), "");
    return entries_of(g->list);
}

int priority_at(const Engine& e, int x, int y) { return cell_priority(e, x + MARGIN, y + MARGIN); }

Entry cell_entry(const Engine& e, int x, int y) { return {x, y, priority_at(e, x, y)}; }

void store_move(Engine& e, int x, int y, int depth = 1) {
    e.hash.search_store(pack_move(x + MARGIN, y + MARGIN), 0, BOUND_EXACT, depth);
}

constexpr int STORED = 10000;

TEST(CellPriority, OneStoneGivesItsEightNeighboursFiveInScanOrder) {
    auto e = engine_from_moves(15, {{7, 7}});
    const std::vector<Entry> expected = {{6, 6, 5}, {7, 6, 5}, {8, 6, 5}, {6, 7, 5},
                                         {8, 7, 5}, {6, 8, 5}, {7, 8, 5}, {8, 8, 5}};
    EXPECT_EQ(candidates(*e), expected);
    EXPECT_EQ(priority_at(*e, 9, 7), 0) << "two steps away: no shape, no neighbour";
}

TEST(CellPriority, IsTheSameWhicheverPlayerOwnsTheStones) {
    const std::vector<std::string> rows = {
        "...............", "...X..O........", "....XO.........", "...OXX.O.......",
        "....O.X........", "...............", "......XO.......",
    };
    std::vector<std::string> swapped = rows;
    for (auto& row : swapped)
        for (char& ch : row) ch = ch == 'X' ? 'O' : ch == 'O' ? 'X' : ch;
    auto a = engine_from_picture(rows);
    auto b = engine_from_picture(swapped);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 15; ++x) {
            if (a->cell(x + MARGIN, y + MARGIN).state == EMPTY) {
                EXPECT_EQ(priority_at(*a, x, y), priority_at(*b, x, y)) << x << "," << y;
            }
        }
    }
}

TEST(Candidates, NoCellWorthSearchingGivesAnEmptyListAndTheFallbackHasTheNearCells) {
    auto e = engine_from_moves(15, {{0, 0}});
    EXPECT_TRUE(candidates(*e).empty());
    CandidateList near;
    list_near_cells(*e, near);
    const std::vector<Entry> expected = {{1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 2, 0}, {2, 2, 0}};
    EXPECT_EQ(entries_of(near), expected);
}

TEST(Candidates, StoredMoveComesFirstAndOnlyOnce) {
    auto e = engine_from_moves(15, {{7, 7}});
    store_move(*e, 8, 7);
    const std::vector<Entry> expected = {{8, 7, STORED}, {6, 6, 5}, {7, 6, 5}, {8, 6, 5},
                                         {6, 7, 5},      {6, 8, 5}, {7, 8, 5}, {8, 8, 5}};
    EXPECT_EQ(candidates(*e), expected);
}

TEST(Candidates, StoredMoveFarFromTheStonesIsStillListed) {
    auto e = engine_from_moves(15, {{7, 7}});
    store_move(*e, 1, 13);
    const auto list = candidates(*e);
    ASSERT_EQ(list.size(), 9u);
    EXPECT_EQ(list[0], (Entry{1, 13, STORED}));
}

TEST(Candidates, UnusableStoredMovesAreIgnored) {
    auto e = engine_from_moves(15, {{7, 7}});
    const auto plain = candidates(*e);

    store_move(*e, 8, 7, -1);
    EXPECT_EQ(candidates(*e), plain) << "negative depth";

    e->hash.search_store(pack_move(0, 11), 0, BOUND_EXACT, 2);
    EXPECT_EQ(candidates(*e), plain) << "x = 0";

    // Stored for another position: the one after O's reply, then taken back.
    e->move(9, 9);
    store_move(*e, 8, 7, 3);
    e->undo();
    EXPECT_EQ(candidates(*e), plain) << "another position's move";
}

TEST(Candidates, StoredMoveOnAStoneOrOffTheBoardIsNeverListed) {
    // As if both check words matched by accident: the entry is planted for
    // this very position but points where no stone may go.
    auto e = engine_from_picture({
        "...............",
        "...............",
        "...............",
        ".....XO........",
        "...............",
    });
    const auto plain = candidates(*e);
    for (auto [x, y] : {std::pair{5, 3}, {6, 3}}) {
        store_move(*e, x, y);
        EXPECT_EQ(candidates(*e), plain) << "a stone at " << x << "," << y;
    }
    // Engine coordinates: the frame left of the board, just beyond its right
    // and bottom edges, and far off the grid.
    for (auto [x, y] : {std::pair{MARGIN - 1, 6}, {MARGIN + 15, 6}, {6, MARGIN + 5}, {200, 7}}) {
        e->hash.search_store(pack_move(x, y), 0, BOUND_EXACT, 1);
        EXPECT_EQ(candidates(*e), plain) << "off the board at " << x << "," << y;
    }
}

// Both players have a five point; X is to move.
// clang-format off
const std::vector<std::string> BOTH_FIVE = {
    "...............",
    "OXXXX..........",  // X: (5, 1)
    "...............",
    "...............",
    "...............",
    ".OOOO..........",  // O: (0, 5) and (5, 5)
    "..............X",
};
// clang-format on

TEST(ForcedReplies, OwnFivePointBeatsEverything) {
    auto e = engine_from_picture(BOTH_FIVE);
    EXPECT_EQ(candidates(*e), (std::vector<Entry>{cell_entry(*e, 5, 1)}));
    store_move(*e, 0, 5);
    EXPECT_EQ(candidates(*e), (std::vector<Entry>{cell_entry(*e, 5, 1)})) << "even the stored move gives way";
    store_move(*e, 5, 1);
    EXPECT_EQ(candidates(*e), (std::vector<Entry>{{5, 1, STORED}}));
}

TEST(ForcedReplies, OpponentsFivePointIsTheOnlyMove) {
    auto e = engine_from_picture({
        "..........X....",
        "XOOOO..........",  // O: (5, 1)
        "...............",
        "......X........",
        ".....X.........",
    });
    EXPECT_EQ(candidates(*e), (std::vector<Entry>{cell_entry(*e, 5, 1)}));
    store_move(*e, 6, 2);
    EXPECT_EQ(candidates(*e), (std::vector<Entry>{cell_entry(*e, 5, 1)}));
    store_move(*e, 5, 1);
    EXPECT_EQ(candidates(*e), (std::vector<Entry>{{5, 1, STORED}}));
}

// X has an open three: (4, 8) and (8, 8) make open fours.
// clang-format off
const std::vector<std::string> OWN_OPEN_THREE = {
    "O..............",
    "...............",
    "...............",
    "...............",
    "..............O",
    "...............",
    "...............",
    "...............",
    ".....XXX.......",
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    "O..............",
};
// clang-format on

TEST(ForcedReplies, OwnOpenFourPointFirstInListOrder) {
    auto e = engine_from_picture(OWN_OPEN_THREE);
    ASSERT_EQ(e->status_count[0][9], 2);
    EXPECT_EQ(candidates(*e), (std::vector<Entry>{cell_entry(*e, 4, 8)}));
    store_move(*e, 8, 8);
    EXPECT_EQ(candidates(*e), (std::vector<Entry>{{8, 8, STORED}})) << "a stored move that qualifies wins";
}

TEST(ForcedReplies, OpponentsOpenFourLeavesTheCellsThatMakeOrStopAFour) {
    // Same stones with the colours swapped and X to move: O threatens an open
    // four. Cells of status 6 or more: O's (3, 8), (4, 8), (8, 8), (9, 8).
    std::vector<std::string> rows = OWN_OPEN_THREE;
    for (auto& row : rows)
        for (char& ch : row) ch = ch == 'X' ? 'O' : ch == 'O' ? 'X' : ch;
    auto e = engine_from_picture(rows);
    ASSERT_EQ(e->side, 0);
    const std::vector<Entry> expected = {cell_entry(*e, 3, 8), cell_entry(*e, 4, 8), cell_entry(*e, 8, 8),
                                         cell_entry(*e, 9, 8)};
    EXPECT_EQ(candidates(*e), expected);
    store_move(*e, 8, 8);
    EXPECT_EQ(candidates(*e), expected) << "the stored move keeps its scan place and own priority";
    store_move(*e, 7, 7);
    EXPECT_EQ(candidates(*e), expected) << "a stored move that stops nothing is left out";
}

TEST(ForcedReplies, OpenFourReplyIncludesOwnFourMakers) {
    // X to move has a closed three on row 2 (a four to make at (4, 2) or
    // (5, 2)), O threatens an open four on row 8.
    auto e = engine_from_picture({
        "...............",
        "...............",
        "OXXX...........",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        ".....OOO.......",
        "...............",
        "..............X",
    });
    std::vector<Entry> expected;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 15; ++x) {
            const Cell& c = e->cell(x + MARGIN, y + MARGIN);
            if (c.state == EMPTY && (c.status[0] >= 6 || c.status[1] >= 6)) expected.push_back(cell_entry(*e, x, y));
        }
    ASSERT_EQ(expected.size(), 6u) << "two X fours and four O cells";
    EXPECT_EQ(candidates(*e), expected);
}

// The list without any bound, straight from the rules, then cut to the 256
// highest priorities (ties to the earlier entry) and put back in list order.
std::vector<Entry> reference_candidates(const Engine& e) {
    std::vector<Entry> list;
    int sx = 0, sy = 0;
    bool stored = e.hash.stored_move(sx, sy);
    stored = stored && sx >= MARGIN && sx < MARGIN + e.board_width && sy >= MARGIN && sy < MARGIN + e.board_height &&
             e.cell(sx, sy).state == EMPTY;
    if (stored) list.push_back({sx - MARGIN, sy - MARGIN, 10000});
    auto scan = [&](auto take) {
        for (int y = e.area.y_min; y <= e.area.y_max; ++y)
            for (int x = e.area.x_min; x <= e.area.x_max; ++x) {
                const Cell& c = e.cell(x, y);
                if (c.state == EMPTY && (c.near1 || c.near2)) take(x, y, c);
            }
    };
    scan([&](int x, int y, const Cell&) {
        if (!(stored && x == sx && y == sy) && cell_priority(e, x, y) >= 2)
            list.push_back({x - MARGIN, y - MARGIN, cell_priority(e, x, y)});
    });
    auto forced = [&](int player, int status) {
        for (const Entry& c : list)
            if (e.cell(c.x + MARGIN, c.y + MARGIN).status[player] == status) return std::vector<Entry>{c};
        ADD_FAILURE() << "count says there is a status " << status << " cell";
        return list;
    };
    if (e.status_count[e.side][10] > 0) return forced(e.side, 10);
    if (e.status_count[e.other][10] > 0) return forced(e.other, 10);
    if (e.status_count[e.side][9] > 0) return forced(e.side, 9);
    if (e.status_count[e.other][9] > 0) {
        list.clear();
        scan([&](int x, int y, const Cell& c) {
            if ((c.status[e.side] >= 6 || c.status[e.other] >= 6) && cell_priority(e, x, y) > 0)
                list.push_back({x - MARGIN, y - MARGIN, cell_priority(e, x, y)});
        });
    }
    if (list.size() <= MAX_CANDIDATES) return list;
    std::vector<int> order(list.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return list[a].priority > list[b].priority; });
    order.resize(MAX_CANDIDATES);
    std::sort(order.begin(), order.end());
    std::vector<Entry> kept;
    for (int i : order) kept.push_back(list[i]);
    return kept;
}

// Fills a 32 x 32 board with random stones, refusing any move that would give
// either player a five point or an open-four point, so nothing is forced and
// the whole scan stands.
void fill_quietly(Engine& e, testing::TestRng& rng, int stones) {
    for (int tries = 0; e.move_count < stones && tries < 20 * stones; ++tries) {
        const int x = rng.below(32), y = rng.below(32);
        if (e.cell(x + MARGIN, y + MARGIN).state != EMPTY) continue;
        e.move(x, y);
        const auto& n = e.status_count;
        if (n[0][9] + n[0][10] + n[1][9] + n[1][10] != 0) e.undo();
    }
}

TEST(CandidateBound, CrowdedBoardKeepsTheHighestPrioritiesInScanOrder) {
    int overflowing = 0;
    for (int seed = 1; seed <= 6; ++seed) {
        auto e = testing::new_engine(32);
        testing::TestRng rng(seed);
        fill_quietly(*e, rng, 200 + 40 * seed);
        const auto reference = reference_candidates(*e);
        SCOPED_TRACE(picture_of(*e));
        EXPECT_EQ(candidates(*e), reference);
        store_move(*e, 0, 0);
        if (e->cell(MARGIN, MARGIN).state == EMPTY) {
            const auto with_stored = candidates(*e);
            EXPECT_EQ(with_stored, reference_candidates(*e));
            ASSERT_FALSE(with_stored.empty());
            EXPECT_EQ(with_stored[0], (Entry{0, 0, STORED}));
        }
        overflowing += reference.size() == MAX_CANDIDATES;
    }
    EXPECT_GE(overflowing, 3) << "the positions must crowd the list";
}

TEST(CandidateBound, ForcedRepliesOnCrowdedBoardsMatchTheUnboundedList) {
    // Random stones all over the board, fives points and open fours allowed.
    int forced = 0;
    for (int seed = 1; seed <= 12; ++seed) {
        auto e = testing::new_engine(32);
        testing::TestRng rng(100 + seed);
        testing::play_random_moves(*e, rng, 250 + 20 * seed, 16);
        SCOPED_TRACE(picture_of(*e));
        const auto reference = reference_candidates(*e);
        EXPECT_EQ(candidates(*e), reference);
        forced += reference.size() == 1;
    }
    EXPECT_GT(forced, 0);
}

TEST(CandidateBound, NearCellFallbackStopsAtTheBound) {
    auto e = testing::new_engine(32);
    testing::TestRng rng(7);
    fill_quietly(*e, rng, 300);
    auto g = std::make_unique<GuardedList>();
    list_near_cells(*e, g->list);
    EXPECT_TRUE(g->intact());
    ASSERT_EQ(g->list.count, MAX_CANDIDATES);
    // The first 256 near cells in scan order.
    int i = 0;
    for (int y = e->area.y_min; y <= e->area.y_max && i < MAX_CANDIDATES; ++y)
        for (int x = e->area.x_min; x <= e->area.x_max && i < MAX_CANDIDATES; ++x) {
            const Cell& c = e->cell(x, y);
            if (c.state != EMPTY || !(c.near1 || c.near2)) continue;
            EXPECT_EQ(g->list.entries[i].x, x);
            EXPECT_EQ(g->list.entries[i].y, y);
            EXPECT_EQ(g->list.entries[i].priority, 0);
            ++i;
        }
}

TEST(SortCandidates, DescendingPriorityWithTiesInListOrder) {
    CandidateList list;
    const int priorities[] = {5, 9, 5, 10000, 9, 5, 25020, 0};
    for (int i = 0; i < 8; ++i) list.entries[i] = Candidate{static_cast<std::int16_t>(i), 0, priorities[i]};
    list.count = 8;
    sort_candidates(list);
    const int expected_x[] = {6, 3, 1, 4, 0, 2, 5, 7};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(list.entries[i].x, expected_x[i]) << i;
    EXPECT_LT(compare_candidates(list.entries[0], list.entries[1]), 0);
    EXPECT_EQ(compare_candidates(list.entries[4], list.entries[5]), 0);
}

// Short lists, lists just past the length where counting takes over, and a
// full one; priorities around the top bucket, the raised ones of the stored
// and the previous line's move, and a negative one that no cell has.
TEST(SortCandidates, EveryLengthAndPriorityRangeMatchesAStableSort) {
    const int extremes[] = {126, 127, 128, 10000, 25020, -1};
    testing::TestRng rng(3);
    for (const int count : {8, 16, 17, 60, MAX_CANDIDATES})
        for (const bool negative : {false, true}) {
            CandidateList list;
            std::vector<Candidate> copy;
            for (int i = 0; i < count; ++i) {
                const int priority = rng.below(8) == 0 ? extremes[rng.below(negative ? 6 : 5)] : rng.below(12);
                list.entries[i] = Candidate{static_cast<std::int16_t>(i), static_cast<std::int16_t>(i / 16), priority};
                copy.push_back(list.entries[i]);
            }
            list.count = count;
            sort_candidates(list);
            std::stable_sort(copy.begin(), copy.end(),
                             [](const Candidate& a, const Candidate& b) { return a.priority > b.priority; });
            for (int i = 0; i < count; ++i) EXPECT_EQ(list.entries[i].x, copy[i].x) << count << " entries, at " << i;
        }
}

}  // namespace
}  // namespace vantrel
