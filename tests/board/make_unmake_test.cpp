// Make and undo against a from-scratch recomputation of every incremental
// quantity, written here independently of the engine's own update rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "board/engine_object.h"
#include "board/pattern_tables.h"
#include "board/zobrist.h"
#include "support/position_setup.h"

namespace vantrel {
namespace {

using testing::new_engine;

struct HashWords {
    std::uint32_t index;
    std::uint32_t check1, check2;
};

HashWords hash_words(const Engine& e) { return {e.hash.hash_index, e.hash.hash_check1, e.hash.hash_check2}; }

bool playable(const Engine& e, int x, int y) {
    return x >= MARGIN && x < e.board_width + MARGIN && y >= MARGIN && y < e.board_height + MARGIN;
}

// Recomputes everything incremental from the stones alone and compares.
// `base` holds the hash words right after reset; `stones` the placed stones
// (engine coordinates, owner) in order.
struct Stone {
    int x, y, p;
};

void expect_consistent(const Engine& e, const HashWords& base, const std::vector<Stone>& stones, int base_ply) {
    SCOPED_TRACE(testing::picture_of(e));
    std::array<std::array<int, GRID_SIZE>, GRID_SIZE> owner;
    for (auto& col : owner) col.fill(-1);
    for (const Stone& s : stones) owner[s.x][s.y] = s.p;

    ASSERT_EQ(e.move_count, static_cast<int>(stones.size()));
    EXPECT_EQ(e.side, static_cast<int>(stones.size() % 2));
    EXPECT_EQ(e.other, 1 - e.side);
    EXPECT_EQ(e.ply, base_ply + static_cast<int>(stones.size()));

    int counts[2][11] = {};
    std::uint64_t four_rows[2][GRID_SIZE] = {};
    for (int x = MARGIN; x < e.board_width + MARGIN; ++x) {
        for (int y = MARGIN; y < e.board_height + MARGIN; ++y) {
            const Cell& c = e.cell(x, y);
            ASSERT_EQ(c.state, owner[x][y] >= 0 ? owner[x][y] : EMPTY) << x << "," << y;
            int near1 = 0, near2 = 0;
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -2; dy <= 2; ++dy) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx == 0 && dy == 0) || !playable(e, nx, ny) || owner[nx][ny] < 0) continue;
                    const bool on_line = dx == 0 || dy == 0 || dx == dy || dx == -dy;
                    if (std::max(std::abs(dx), std::abs(dy)) == 1)
                        ++near1;
                    else if (on_line)
                        ++near2;
                }
            EXPECT_EQ(c.near1, near1) << x << "," << y;
            EXPECT_EQ(c.near2, near2) << x << "," << y;

            std::uint8_t mask[4][2] = {};
            unsigned far[4] = {};
            for (int d = 0; d < 4; ++d) {
                for (int k = -4; k <= 4; ++k) {
                    if (k == 0) continue;
                    const int bit = k < 0 ? k + 4 : k + 3;
                    const int nx = x + k * DX[d], ny = y + k * DY[d];
                    for (int p = 0; p < 2; ++p)
                        if (!playable(e, nx, ny) || owner[nx][ny] == p) mask[d][p] |= 1 << bit;
                }
                EXPECT_EQ(c.line_mask[d][0], mask[d][0]) << x << "," << y << " d" << d;
                EXPECT_EQ(c.line_mask[d][1], mask[d][1]) << x << "," << y << " d" << d;
                // A rule game's cells five steps away: back then forward,
                // player 0's pair of bits then player 1's.
                if (!e.rules) continue;
                for (int k : {-5, 5}) {
                    const int nx = x + k * DX[d], ny = y + k * DY[d];
                    for (int p = 0; p < 2; ++p)
                        if (!playable(e, nx, ny) || owner[nx][ny] == p) far[d] |= (k < 0 ? 1 : 2) << (2 * p);
                }
                EXPECT_EQ(e.far_masks[x * GRID_SIZE + y][d], far[d]) << x << "," << y << " d" << d;
            }
            if (c.state != EMPTY) continue;
            for (int p = 0; p < 2; ++p) {
                int t[4];
                for (int d = 0; d < 4; ++d) {
                    const unsigned line = mask[d][0] | mask[d][1] << 8 | far[d] << 16;
                    t[d] = e.rules ? e.rules->both_types[line] >> (8 * p) & 0xFF
                                   : LineTypeTable[mask[d][p] * 256 + mask[d][1 - p]];
                    EXPECT_EQ(c.line_type[d][p], t[d]) << x << "," << y;
                }
                const int status = e.rules ? e.rules->status[p][t[0] << 12 | t[1] << 8 | t[2] << 4 | t[3]]
                                           : StatusTable[1000 * t[0] + 100 * t[1] + 10 * t[2] + t[3]];
                EXPECT_EQ(c.status[p], status) << x << "," << y;
                ++counts[p][status];
                if (status >= STATUS_FOUR) four_rows[p][y] |= 1ULL << x;
            }
        }
    }
    for (int p = 0; p < 2; ++p)
        for (int v = 1; v <= 10; ++v)
            EXPECT_EQ(e.status_count[p][v], counts[p][v]) << "player " << p << " status " << v;
    // Over the whole grid: no bit for a stone, the frame or beyond; a stone
    // row bit for each stone and nothing else.
    for (int p = 0; p < 2; ++p)
        for (int y = 0; y < GRID_SIZE; ++y)
            EXPECT_EQ(e.four_rows[p][y], four_rows[p][y]) << "player " << p << " row " << y;
    std::uint64_t stone_rows[GRID_SIZE] = {};
    for (const Stone& s : stones) stone_rows[s.y] |= 1ULL << s.x;
    for (int y = 0; y < GRID_SIZE; ++y) EXPECT_EQ(e.stone_rows[y], stone_rows[y]) << "row " << y;

    int x_min = e.board_width / 2 + MARGIN - 1, x_max = e.board_width / 2 + MARGIN + 1;
    int y_min = e.board_height / 2 + MARGIN - 1, y_max = e.board_height / 2 + MARGIN + 1;
    for (const Stone& s : stones) {
        x_min = std::min(x_min, s.x - 2), x_max = std::max(x_max, s.x + 2);
        y_min = std::min(y_min, s.y - 2), y_max = std::max(y_max, s.y + 2);
    }
    EXPECT_EQ(e.area.x_min, std::max(x_min, MARGIN));
    EXPECT_EQ(e.area.y_min, std::max(y_min, MARGIN));
    EXPECT_EQ(e.area.x_max, std::min(x_max, e.board_width + MARGIN - 1));
    EXPECT_EQ(e.area.y_max, std::min(y_max, e.board_height + MARGIN - 1));

    std::uint32_t index = base.index, check1 = base.check1, check2 = base.check2;
    for (const Stone& s : stones) {
        index += ZobristTables.index[s.p][s.y - MARGIN][s.x - MARGIN];
        check1 += ZobristTables.check1[s.p][s.y - MARGIN][s.x - MARGIN];
        check2 += ZobristTables.check2[s.p][s.y - MARGIN][s.x - MARGIN];
    }
    EXPECT_EQ(e.hash.hash_index, index);  // the full sum, masked only by the tables
    EXPECT_EQ(e.hash.hash_check1, check1);
    EXPECT_EQ(e.hash.hash_check2, check2);
}

// Random games on random sizes, square and rectangular, checked after every
// make and every undo. Moves favour edges and corners so that the frame gets
// exercised as much as the middle.
// Free-style, then every rule game, whose lines reach a cell further.
class MakeUnmakeByRule : public ::testing::TestWithParam<Rule> {};

TEST_P(MakeUnmakeByRule, RandomGamesMatchRecomputation) {
    std::mt19937 rng(20261208);
    auto e = std::make_unique<Engine>();
    e->set_rule(GetParam());
    const int games = GetParam() == Rule::FreeStyle ? 60 : 20;
    for (int game = 0; game < games; ++game) {
        const int width = 5 + static_cast<int>(rng() % 28);
        const int height = game % 3 == 0 ? width : 5 + static_cast<int>(rng() % 28);
        SCOPED_TRACE(::testing::Message() << "board " << width << "x" << height);
        e->reset_rectangle(width, height);
        const HashWords base = hash_words(*e);
        const int base_ply = e->ply;
        std::vector<Stone> stones;
        expect_consistent(*e, base, stones, base_ply);

        const int target = std::min(width * height, 12 + static_cast<int>(rng() % 40));
        while (static_cast<int>(stones.size()) < target) {
            int x, y;
            do {
                const bool edge = rng() % 3 == 0;
                x = MARGIN + static_cast<int>(rng() % width);
                y = MARGIN + static_cast<int>(rng() % height);
                if (edge && rng() % 2)
                    x = rng() % 2 ? MARGIN : width + MARGIN - 1;
                else if (edge)
                    y = rng() % 2 ? MARGIN : height + MARGIN - 1;
            } while (e->cell(x, y).state != EMPTY);
            stones.push_back({x, y, e->side});
            e->make(x, y);
            expect_consistent(*e, base, stones, base_ply);
            if (::testing::Test::HasFailure()) return;
            if (rng() % 4 == 0) {  // take back one or two and go on
                const int back = 1 + static_cast<int>(rng() % 2);
                for (int i = 0; i < back && !stones.empty(); ++i) {
                    e->undo();
                    stones.pop_back();
                    expect_consistent(*e, base, stones, base_ply);
                }
            }
        }
        while (!stones.empty()) {
            e->undo();
            stones.pop_back();
            expect_consistent(*e, base, stones, base_ply);
            if (::testing::Test::HasFailure()) return;
        }
        // Every change a make noted has been handed back by its undo.
        EXPECT_EQ(e->type_change_top, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, MakeUnmakeByRule,
                         ::testing::Values(Rule::FreeStyle, Rule::Standard, Rule::Renju, Rule::Caro, Rule::CaroExact));

TEST(MakeUnmake, FullSmallBoardThenEmptyAgain) {
    auto e = new_engine(5);
    const HashWords base = hash_words(*e);
    std::vector<Stone> stones;
    for (int y = MARGIN; y < MARGIN + 5; ++y)
        for (int x = MARGIN; x < MARGIN + 5; ++x) {
            stones.push_back({x, y, e->side});
            e->make(x, y);
        }
    expect_consistent(*e, base, stones, 0);
    while (!stones.empty()) {
        e->undo();
        stones.pop_back();
    }
    expect_consistent(*e, base, stones, 0);
}

// Only the line types and statuses kept on occupied cells may depend on the
// order in which the stones came.
TEST(MakeUnmake, SameStonesInAnotherOrderGiveSamePosition) {
    const std::vector<std::pair<int, int>> first = {{7, 7}, {8, 8}, {7, 8}, {6, 6}, {7, 6}, {7, 9}, {0, 0}, {14, 3}};
    std::vector<std::pair<int, int>> second = first;
    // Swap moves of the same player: 0 with 2, 1 with 5, 4 with 6.
    std::swap(second[0], second[2]);
    std::swap(second[1], second[5]);
    std::swap(second[4], second[6]);
    auto a = testing::engine_from_moves(15, first);
    auto b = testing::engine_from_moves(15, second);
    for (int x = 0; x < 23; ++x)
        for (int y = 0; y < 23; ++y) {
            const Cell &ca = a->cell(x, y), &cb = b->cell(x, y);
            ASSERT_EQ(ca.state, cb.state);
            if (ca.state == OUTSIDE) continue;
            EXPECT_EQ(ca.near1, cb.near1);
            EXPECT_EQ(ca.near2, cb.near2);
            EXPECT_EQ(0, std::memcmp(ca.line_mask, cb.line_mask, sizeof ca.line_mask));
            if (ca.state == EMPTY) {
                EXPECT_EQ(0, std::memcmp(ca.line_type, cb.line_type, sizeof ca.line_type));
                EXPECT_EQ(0, std::memcmp(ca.status, cb.status, sizeof ca.status));
            }
        }
    EXPECT_EQ(0, std::memcmp(a->status_count[0] + 1, b->status_count[0] + 1, 10 * sizeof(int)));
    EXPECT_EQ(0, std::memcmp(a->status_count[1] + 1, b->status_count[1] + 1, 10 * sizeof(int)));
    EXPECT_EQ(a->area.x_min, b->area.x_min);
    EXPECT_EQ(a->area.y_max, b->area.y_max);
    EXPECT_EQ(a->hash.hash_index, b->hash.hash_index);
    EXPECT_EQ(a->hash.hash_check1, b->hash.hash_check1);
    EXPECT_EQ(a->hash.hash_check2, b->hash.hash_check2);
}

TEST(MakeUnmake, AreaGrowsAroundStonesAndIsRestoredExactly) {
    auto e = new_engine(15);
    const int m = MARGIN;  // engine coordinate of protocol 0
    EXPECT_EQ(e->area.x_min, m + 6);
    EXPECT_EQ(e->area.x_max, m + 8);
    e->move(0, 0);
    EXPECT_EQ(e->area.x_min, m);
    EXPECT_EQ(e->area.y_min, m);
    EXPECT_EQ(e->area.x_max, m + 8);
    EXPECT_EQ(e->area.y_max, m + 8);
    e->undo();
    e->move(7, 7);
    EXPECT_EQ(e->area.x_min, m + 5);
    EXPECT_EQ(e->area.y_min, m + 5);
    EXPECT_EQ(e->area.x_max, m + 9);
    EXPECT_EQ(e->area.y_max, m + 9);
    e->move(14, 14);  // clamped to the board's last row and column
    EXPECT_EQ(e->area.x_max, m + 14);
    EXPECT_EQ(e->area.y_max, m + 14);
    e->undo();
    EXPECT_EQ(e->area.x_max, m + 9);
}

TEST(MakeUnmake, CornerStoneTouchesFrameMasksButNoFrameStatus) {
    auto e = new_engine(15);
    const int m = MARGIN;  // the corner cell
    const Cell before = e->cell(m - 2, m - 2);
    e->make(m, m);
    EXPECT_EQ(e->cell(m - 1, m - 1).line_mask[2][0], 0x10 | before.line_mask[2][0]);
    EXPECT_EQ(e->cell(m - 2, m - 2).line_mask[2][0], 0x20 | before.line_mask[2][0]);
    EXPECT_EQ(e->cell(m - 1, m - 1).near1, 1);
    EXPECT_EQ(e->cell(m - 2, m - 2).near2, 1);
    EXPECT_EQ(e->cell(m - 2, m - 2).status[0], before.status[0]);
    EXPECT_EQ(0, std::memcmp(e->cell(m - 2, m - 2).line_type, before.line_type, sizeof before.line_type));
}

TEST(MakeUnmake, FarCellsAndKnightMovesUntouched) {
    auto e = new_engine(19);
    const int x = 13, y = 13;
    const std::vector<std::pair<int, int>> untouched = {{x + 5, y},     {x, y - 5},     {x + 5, y + 5}, {x + 1, y + 2},
                                                        {x - 2, y + 1}, {x + 2, y - 1}, {x - 1, y - 2}};
    std::vector<Cell> before;
    for (auto [cx, cy] : untouched) before.push_back(e->cell(cx, cy));
    e->make(x, y);
    for (std::size_t i = 0; i < untouched.size(); ++i)
        EXPECT_EQ(0, std::memcmp(&before[i], &e->cell(untouched[i].first, untouched[i].second), sizeof(Cell))) << i;
}

TEST(MakeUnmake, StonesSetBitsInTheirOwnersMasksOnly) {
    auto e = new_engine(15);
    e->make(10, 10);  // player 0
    e->make(12, 10);  // player 1
    const Cell& between = e->cell(11, 10);
    EXPECT_EQ(between.line_mask[0][0], 0x08);
    EXPECT_EQ(between.line_mask[0][1], 0x10);
}

TEST(MakeUnmake, StatusCountsDropTheFilledCellAndTakeItBack) {
    // Player 0 has three in a row; the open ends are open-three cells.
    auto e = testing::engine_from_moves(15, {{5, 7}, {5, 0}, {6, 7}, {0, 14}, {7, 7}, {14, 14}});
    const int fours_before = e->status_count[0][STATUS_OPEN_FOUR];
    ASSERT_GT(fours_before, 0);
    const int s = e->cell(8 + MARGIN, 7 + MARGIN).status[0];
    ASSERT_EQ(s, STATUS_OPEN_FOUR);
    e->move(8, 7);
    EXPECT_EQ(e->status_count[0][STATUS_FIVE], 2);  // both ends of the open four
    e->undo();
    EXPECT_EQ(e->status_count[0][STATUS_OPEN_FOUR], fours_before);
    EXPECT_EQ(e->cell(8 + MARGIN, 7 + MARGIN).status[0], s);
}

TEST(MakeUnmake, NodeCountGrowsOnlyWithMake) {
    auto e = new_engine(15);
    e->node_count = 0;
    e->make(11, 11);
    e->make(12, 12);
    e->undo();
    e->undo();
    EXPECT_EQ(e->node_count, 2);
    EXPECT_EQ(e->move_count, 0);
}

}  // namespace
}  // namespace vantrel
