// Construction and reset of the engine object: an empty board with its outside
// frame entered in the line masks, the derived pattern tables rebuilt, both
// transposition tables emptied.
#include "board/engine_object.h"

#include <algorithm>
#include <cassert>

#include "board/pattern_tables.h"
#include "board/rule_tables.h"

namespace vantrel {

namespace {

// Mask bits of the cells along a line that lie outside, when only `steps`
// cells back (or forward) are playable: the k-th cell back is bit
// 1 << (LINE_REACH - k), the k-th forward bit 1 << (LINE_REACH - 1 + k).
constexpr unsigned BACK_BITS = (1u << LINE_REACH) - 1;
constexpr unsigned FORWARD_BITS = BACK_BITS << LINE_REACH;
constexpr unsigned outside_back_bits(int steps) { return steps >= LINE_REACH ? 0u : BACK_BITS >> steps; }
constexpr unsigned outside_forward_bits(int steps) {
    return steps >= LINE_REACH ? 0u : (FORWARD_BITS << steps) & FORWARD_BITS;
}
static_assert(outside_back_bits(0) == 0x0F && outside_back_bits(3) == 0x01);
static_assert(outside_forward_bits(0) == 0xF0 && outside_forward_bits(3) == 0x80);

}  // namespace

// Every Point member (history, saved corners, area, the moves of both tables)
// starts as (0, 0) through its member initialisers, and the PV table as
// zeros; the board is set by the reset that always begins a game.
Engine::Engine() = default;

Engine::Engine(HashTables& tables) : hash(tables) {}

void Engine::reset(int n) { reset_rectangle(n, n); }

void Engine::reset_rectangle(int width, int height) {
    assert(width >= MIN_BOARD_SIZE && width <= MAX_BOARD_SIZE);
    assert(height >= MIN_BOARD_SIZE && height <= MAX_BOARD_SIZE);

    build_tables();
    board_width = width;
    board_height = height;

    const auto playable = [&](int x, int y) {
        return x >= MARGIN && x < width + MARGIN && y >= MARGIN && y < height + MARGIN;
    };

    // The playing area and its frame; cells further out are never
    // reached from this board. Clearing whole cells (not only state and
    // masks) leaves nothing of a larger earlier board in the frame.
    for (int x = 0; x < width + 2 * MARGIN; ++x)
        for (int y = 0; y < height + 2 * MARGIN; ++y) {
            cells[x][y] = Cell{playable(x, y) ? EMPTY : OUTSIDE, {}, {}, {}, 0, 0};
            if (rules) std::fill(far_masks[x * GRID_SIZE + y], far_masks[x * GRID_SIZE + y] + DIRECTIONS, 0);
        }

    for (int u = 0; u < width; ++u) {
        for (int v = 0; v < height; ++v) {
            Cell& c = cells[u + MARGIN][v + MARGIN];
            // Playable steps back and forward along each direction, from the
            // distances to the four edges; every step beyond is outside.
            const int left = u, right = width - 1 - u, low = v, high = height - 1 - v;
            const int back[DIRECTIONS] = {left, low, std::min(left, low), std::min(left, high)};
            const int forward[DIRECTIONS] = {right, high, std::min(right, high), std::min(right, low)};
            const int index = (u + MARGIN) * GRID_SIZE + v + MARGIN;
            for (int d = 0; d < DIRECTIONS; ++d) {
                const auto outside =
                    static_cast<std::uint8_t>(outside_back_bits(back[d]) | outside_forward_bits(forward[d]));
                c.line_mask[d][0] = outside;
                c.line_mask[d][1] = outside;
                if (rules) {
                    // The far cells outside, for both players.
                    unsigned far = 0;
                    if (back[d] < RULE_REACH) far |= FAR_BACK | FAR_BACK << FAR_PLAYER_SHIFT;
                    if (forward[d] < RULE_REACH) far |= FAR_FORWARD | FAR_FORWARD << FAR_PLAYER_SHIFT;
                    far_masks[index][d] = static_cast<std::uint8_t>(far);
                    const unsigned line = outside | outside << 8 | far << FAR_SHIFT;
                    c.line_type[d][0] = static_cast<std::uint8_t>(rules->both_types[line] & 0xFF);
                    c.line_type[d][1] = static_cast<std::uint8_t>(rules->both_types[line] >> 8);
                } else {
                    const std::uint8_t type = LineTypeTable[pair_index(outside, outside)];
                    c.line_type[d][0] = type;
                    c.line_type[d][1] = type;
                }
            }
            for (int p = 0; p < PLAYERS; ++p) {
                const int t0 = c.line_type[0][p], t1 = c.line_type[1][p], t2 = c.line_type[2][p],
                          t3 = c.line_type[3][p];
                c.status[p] = rules ? rules->status[p][rule_status_index(t0, t1, t2, t3)]
                                    : StatusTable[status_index(t0, t1, t2, t3)];
                assert(c.status[p] == STATUS_NONE);
            }
        }
    }

    // Every empty cell of an empty board has status 0 for both players, so
    // zero counts are exact for statuses 1..10.
    for (auto& player : status_count) std::fill(player, player + STATUS_COUNT, 0);
    for (auto& player : four_rows) std::fill(player, player + GRID_SIZE, 0);
    std::fill(stone_rows, stone_rows + GRID_SIZE, 0);

    const int cx = width / 2 + MARGIN, cy = height / 2 + MARGIN;
    area.x_min = static_cast<std::uint8_t>(std::max(cx - 1, MARGIN));
    area.y_min = static_cast<std::uint8_t>(std::max(cy - 1, MARGIN));
    area.x_max = static_cast<std::uint8_t>(std::min(cx + 1, width + MARGIN - 1));
    area.y_max = static_cast<std::uint8_t>(std::min(cy + 1, height + MARGIN - 1));

    side = 0;
    other = 1;
    move_count = 0;
    type_change_top = 0;
    four_flip_top = 0;
    hash.clear();
}

void Engine::set_rule(Rule r) {
    Point stones[HISTORY_SIZE];
    const int count = move_count;
    std::copy(history, history + count, stones);
    rule = r;
    rules = rule_tables(r);
    if (board_width == 0) return;  // no game yet: the first reset uses the rule
    reset_rectangle(board_width, board_height);
    for (int i = 0; i < count; ++i) make(stones[i].x, stones[i].y);
}

void Engine::idle() {}

const char* Engine::name() const { return "Vantrel"; }

}  // namespace vantrel
