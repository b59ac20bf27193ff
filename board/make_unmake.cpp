// Making and unmaking moves: the only operations that change the board. A
// stone changes the line masks of the 32 cells that share a line window with
// it (40 in a rule game, whose lines reach a cell further); each of those
// that is empty has its line type looked up again in that one direction and
// its statuses (and the status counts) refreshed. The near counts, the search
// rectangle and the position hash follow. make and undo are a mirrored pair:
// each step of one has its twin in the other. Free-style and the rule games
// run the same steps through their own tables (LineLookup below).
#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#include "board/engine_object.h"
#include "board/pattern_tables.h"
#include "board/rule_tables.h"

namespace vantrel {
namespace {

// Distance between neighbouring cells of direction d in the [x][y] grid.
constexpr int STEP[DIRECTIONS] = {DX[0] * GRID_SIZE + DY[0], DX[1] * GRID_SIZE + DY[1], DX[2] * GRID_SIZE + DY[2],
                                  DX[3] * GRID_SIZE + DY[3]};

// Offsets of the eight adjacent cells and of the eight cells two steps away
// along the four lines.
constexpr int NEAR1[8] = {STEP[0], -STEP[0], STEP[1], -STEP[1], STEP[2], -STEP[2], STEP[3], -STEP[3]};
constexpr int NEAR2[8] = {2 * STEP[0], -2 * STEP[0], 2 * STEP[1], -2 * STEP[1],
                          2 * STEP[2], -2 * STEP[2], 2 * STEP[3], -2 * STEP[3]};

// The eight line types of a cell as one word, byte 2d + p holding
// line_type[d][p]. Reading and writing them whole keeps the re-lookup in
// registers instead of eight byte loads behind a byte store.
static_assert(std::endian::native == std::endian::little && sizeof(Cell::line_type) == sizeof(std::uint64_t));

inline std::uint64_t load_types(const Cell& c) {
    std::uint64_t types;
    std::memcpy(&types, c.line_type, sizeof types);
    return types;
}

inline void store_types(Cell& c, std::uint64_t types) { std::memcpy(c.line_type, &types, sizeof types); }

// The mask bit of a stone k steps forward of a cell, and of one k steps back
// (bit layout in engine_object.h), for k = 1 .. LINE_REACH.
constexpr unsigned forward_bit(int k) { return 1u << (LINE_REACH - 1 + k); }
constexpr unsigned back_bit(int k) { return 1u << (LINE_REACH - k); }
static_assert(back_bit(1) == 0x08 && back_bit(LINE_REACH) == 0x01);
static_assert(forward_bit(1) == 0x10 && forward_bit(LINE_REACH) == 0x80);

// status_index of player p's four line types in one multiplication: masked,
// the types of p are the low bytes of four 16-bit lanes t0..t3, and the top
// lane of the product with the weights 1, 10, 100, 1000 gathers
// 1000 t0 + 100 t1 + 10 t2 + t3. Types are at most 9, so the lower lanes stay
// below 1000 and never carry into the top one.
constexpr std::uint64_t PLAYER_LANES = 0x00FF00FF00FF00FFULL;
constexpr std::uint64_t STATUS_WEIGHTS = 1ULL | 10ULL << 16 | 100ULL << 32 | 1000ULL << 48;

inline int status_of(std::uint64_t types, int p) {
    return StatusTable[(((types >> (8 * p)) & PLAYER_LANES) * STATUS_WEIGHTS) >> 48];
}

// Both players' masks of direction d as one 16-bit word, player 0's in the
// low byte: a stone's bit is set or cleared in a register, and the new masks
// are used from there rather than read back behind the byte store.
inline unsigned load_masks(const Cell& c, int d) {
    std::uint16_t masks;
    std::memcpy(&masks, c.line_mask[d], sizeof masks);
    return masks;
}

inline void store_masks(Cell& c, int d, unsigned masks) {
    const auto word = static_cast<std::uint16_t>(masks);
    std::memcpy(c.line_mask[d], &word, sizeof word);
}

// The two line types of direction d, for the masks of that direction, as the
// 16-bit lane of d.
inline std::uint64_t line_types_of(unsigned masks, int d) {
    return static_cast<std::uint64_t>(BothLineTypesTable[masks]) << (16 * d);
}

// Whether one of two statuses is a four or more and the other is not: with
// 10 added, a status 0..10 has bit 4 set exactly when it is 6 or more.
inline bool crosses_four(int a, int b) {
    static_assert(STATUS_FOUR + 10 == 16 && STATUS_FIVE + 10 < 32);
    return (((a + 10) ^ (b + 10)) & 16) != 0;
}

// What make and undo read, by the kind of game: the line of a cell in
// direction d as the tables index it, the two line types that line gives,
// and a player's status from a cell's eight line types.
template <bool RULES>
struct LineLookup;

// Free-style: the two 8-bit masks, the free-style tables, statuses by the
// base-10 index of the four types.
template <>
struct LineLookup<false> {
    explicit LineLookup(const Engine&) {}
    unsigned line(unsigned masks, int, int) const { return masks; }
    std::uint64_t types(unsigned line, int d) const { return line_types_of(line, d); }
    int status(std::uint64_t types, int p) const { return status_of(types, p); }
};

// A rule game: the masks and the far nibble, the rule's tables, statuses by
// the base-16 index of the four types (renju's black has types up to 11).
// The types of p are at most 11, so the three lower lanes of the product
// stay below 4096 * 12 and never carry into the top one.
constexpr std::uint64_t RULE_STATUS_WEIGHTS = 1ULL | 16ULL << 16 | 256ULL << 32 | 4096ULL << 48;
static_assert(RULE_LINE_TYPES <= 16);

template <>
struct LineLookup<true> {
    explicit LineLookup(const Engine& e) : tables(*e.rules), far(e.far_masks) {}
    unsigned line(unsigned masks, int index, int d) const { return masks | unsigned{far[index][d]} << FAR_SHIFT; }
    std::uint64_t types(unsigned line, int d) const {
        return static_cast<std::uint64_t>(tables.both_types[line]) << (16 * d);
    }
    int status(std::uint64_t types, int p) const {
        return tables.status[p][(((types >> (8 * p)) & PLAYER_LANES) * RULE_STATUS_WEIGHTS) >> 48];
    }
    const RuleTables& tables;
    const std::uint8_t (*far)[DIRECTIONS];
};

#ifndef NDEBUG
template <bool RULES>
std::uint64_t types_from_masks(const LineLookup<RULES>& lookup, const Cell& c, int index) {
    std::uint64_t types = 0;
    for (int d = 0; d < DIRECTIONS; ++d) types |= lookup.types(lookup.line(load_masks(c, d), index, d), d);
    return types;
}

// Whether every empty cell within a line window of `centre` has the line
// types and statuses its masks give (what undo's restored values must be),
// and whether the window and the centre have their bits in four_rows right.
template <bool RULES>
bool line_window_exact(const Engine& e, const Cell* centre) {
    const LineLookup<RULES> lookup(e);
    const Cell* const grid = &e.cells[0][0];
    constexpr int reach = RULES ? RULE_REACH : LINE_REACH;
    for (int d = 0; d < DIRECTIONS; ++d)
        for (int k = -reach; k <= reach; ++k) {
            const Cell& c = centre[k * STEP[d]];
            const int index = static_cast<int>(&c - grid), x = index / GRID_SIZE, y = index % GRID_SIZE;
            for (int p = 0; p < PLAYERS; ++p) {
                const bool four = c.state == EMPTY && c.status[p] >= STATUS_FOUR;
                if (((e.four_rows[p][y] >> x) & 1) != four) return false;
            }
            if (k == 0 || c.state != EMPTY) continue;
            const std::uint64_t types = load_types(c);
            if (types != types_from_masks(lookup, c, index) || c.status[0] != lookup.status(types, 0) ||
                c.status[1] != lookup.status(types, 1))
                return false;
        }
    return true;
}
#endif

}  // namespace

// A cell's status for `player` crossed the line of a four: its bit in
// four_rows flips, and the flip is noted for undo as player << 12 | y << 6 | x.
// Rare, so it may divide.
inline void Engine::flip_four(int index, int player) {
    const int x = index / GRID_SIZE, y = index % GRID_SIZE;
    four_rows[player][y] ^= 1ULL << x;
    four_flips[four_flip_top++] = static_cast<std::uint16_t>(player << 12 | y << 6 | x);
}

// The empty cell c, at grid index `index`, whose line changed in direction
// d and is now `line`: it leaves the counts under its old statuses and
// re-enters under the new ones. When neither line type of d changed, neither
// status can, and nothing is noted; otherwise the cell's old types and
// statuses go to `log` for undo, a status is looked up again only for a
// player whose type changed, and the counters are touched only when a status
// really changes (mostly it does not). Returns the number of entries
// written to `log`, 0 or 1.
template <bool RULES>
inline int Engine::relookup(Cell& c, int index, int d, unsigned line, TypeChange* log) {
    const LineLookup<RULES> lookup(*this);
    const std::uint64_t before = load_types(c);
    const std::uint64_t types = (before & ~(0xFFFFULL << (16 * d))) | lookup.types(line, d);
    if (types == before) return 0;
    *log = TypeChange{before, static_cast<std::uint16_t>(index), {c.status[0], c.status[1]}};
    store_types(c, types);
    // A player whose line type of d stayed keeps the status too.
    const std::uint64_t changed = types ^ before;
#pragma GCC unroll 2
    for (int q = 0; q < PLAYERS; ++q) {
        if (((changed >> (8 * q)) & PLAYER_LANES) == 0) continue;
        const int old = c.status[q], now = lookup.status(types, q);
        if (now == old) continue;
        c.status[q] = static_cast<std::uint8_t>(now);
        --status_count[q][old];
        ++status_count[q][now];
        if (crosses_four(old, now)) flip_four(index, q);
    }
    return 1;
}

void Engine::make(int x, int y) {
    if (rules)
        make_on<true>(x, y);
    else
        make_on<false>(x, y);
}

void Engine::undo() {
    if (rules)
        undo_on<true>();
    else
        undo_on<false>();
}

template <bool RULES>
void Engine::make_on(int x, int y) {
    assert(x >= MARGIN && x < board_width + MARGIN && y >= MARGIN && y < board_height + MARGIN);
    assert(cells[x][y].state == EMPTY);
    assert(move_count < HISTORY_SIZE);

    const int p = side;
    const int owner = 8 * p;  // shift of p's byte in a pair of masks
    Cell* const centre = &cells[x][y];
    const int m = move_count;
    // Grid index of the centre; a cell k steps along d is k * STEP[d] away.
    const int at = x * GRID_SIZE + y;

    ++node_count;
    std::memcpy(status_count_saved[m], status_count, sizeof status_count);
    --status_count[0][centre->status[0]];
    --status_count[1][centre->status[1]];
    four_rows[0][y] &= ~(1ULL << x);
    four_rows[1][y] &= ~(1ULL << x);
    stone_rows[y] |= 1ULL << x;
    centre->state = p;

    history[m] = Point{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
    area_lo_saved[m] = Point{area.x_min, area.y_min};
    area_hi_saved[m] = Point{area.x_max, area.y_max};
    ++move_count;

    area.x_min = static_cast<std::uint8_t>(std::max(std::min<int>(area.x_min, x - 2), MARGIN));
    area.y_min = static_cast<std::uint8_t>(std::max(std::min<int>(area.y_min, y - 2), MARGIN));
    area.x_max = static_cast<std::uint8_t>(std::min(std::max<int>(area.x_max, x + 2), board_width + MARGIN - 1));
    area.y_max = static_cast<std::uint8_t>(std::min(std::max<int>(area.y_max, y + 2), board_height + MARGIN - 1));

    // The searches probe both transposition tables at the new position
    // first thing: the hash goes ahead of the board work, so that the slots'
    // cache lines arrive while the cells are looked up. Each table masks the
    // index word to its own size.
    hash.add_stone(x, y, p);
    __builtin_prefetch(&hash.SearchTable[hash.hash_index]);
    __builtin_prefetch(&hash.ThreatTable[hash.hash_index]);

    // The four directions are unrolled, so that each one's offsets and lane
    // shift are constants; the four steps along one are a loop. Unrolled
    // whole, the walk was 18 KB of code that did not stay in the instruction
    // cache between one make and the next.
    const LineLookup<RULES> lookup(*this);
    TypeChange* const log = &type_changes[type_change_top];
    int changes = 0;
    const int flips_before = four_flip_top;
#pragma GCC unroll 4
    for (int d = 0; d < DIRECTIONS; ++d) {
#pragma GCC unroll 1
        for (int k = 1; k <= LINE_REACH; ++k) {
            // Seen from k steps back the stone is k steps forward, and the
            // other way round.
            const int back_at = at - k * STEP[d], forward_at = at + k * STEP[d];
            Cell& back = centre[-k * STEP[d]];
            const unsigned back_masks = load_masks(back, d) | forward_bit(k) << owner;
            store_masks(back, d, back_masks);
            if (back.state == EMPTY)
                changes += relookup<RULES>(back, back_at, d, lookup.line(back_masks, back_at, d), log + changes);
            Cell& forward = centre[k * STEP[d]];
            const unsigned forward_masks = load_masks(forward, d) | back_bit(k) << owner;
            store_masks(forward, d, forward_masks);
            if (forward.state == EMPTY)
                changes +=
                    relookup<RULES>(forward, forward_at, d, lookup.line(forward_masks, forward_at, d), log + changes);
        }
        if constexpr (RULES) {
            // The cells five steps away see the stone in their far nibble.
            const int back_at = at - RULE_REACH * STEP[d], forward_at = at + RULE_REACH * STEP[d];
            far_masks[back_at][d] |= FAR_FORWARD << (FAR_PLAYER_SHIFT * p);
            far_masks[forward_at][d] |= FAR_BACK << (FAR_PLAYER_SHIFT * p);
            Cell& back = centre[-RULE_REACH * STEP[d]];
            if (back.state == EMPTY)
                changes +=
                    relookup<RULES>(back, back_at, d, lookup.line(load_masks(back, d), back_at, d), log + changes);
            Cell& forward = centre[RULE_REACH * STEP[d]];
            if (forward.state == EMPTY)
                changes += relookup<RULES>(forward, forward_at, d, lookup.line(load_masks(forward, d), forward_at, d),
                                           log + changes);
        }
    }
    type_change_count[m] = static_cast<std::uint8_t>(changes);
    type_change_top += changes;
    four_flip_count[m] = static_cast<std::uint8_t>(four_flip_top - flips_before);
    assert(line_window_exact<RULES>(*this, centre));
    for (int i = 0; i < 8; ++i) {
        ++centre[NEAR1[i]].near1;
        ++centre[NEAR2[i]].near2;
    }

    side = 1 - p;
    other = p;
    ++ply;
}

template <bool RULES>
void Engine::undo_on() {
    assert(move_count > 0);

    --move_count;
    const int x = history[move_count].x, y = history[move_count].y;
    Cell* const centre = &cells[x][y];

    area.x_min = area_lo_saved[move_count].x;
    area.y_min = area_lo_saved[move_count].y;
    area.x_max = area_hi_saved[move_count].x;
    area.y_max = area_hi_saved[move_count].y;

    // The cell's line types and statuses are still those it had when the
    // stone was placed, and they are exact again: every later stone has been
    // taken back, so its masks are what they were then. It re-enters the
    // counts with them, as every changed cell does below, when the counts
    // are copied back.
    assert(load_types(*centre) == types_from_masks(LineLookup<RULES>(*this), *centre, x * GRID_SIZE + y));
    assert(centre->status[0] == LineLookup<RULES>(*this).status(load_types(*centre), 0));
    assert(centre->status[1] == LineLookup<RULES>(*this).status(load_types(*centre), 1));
    std::memcpy(status_count, status_count_saved[move_count], sizeof status_count);
    centre->state = EMPTY;
    stone_rows[y] &= ~(1ULL << x);
    four_rows[0][y] |= static_cast<std::uint64_t>(centre->status[0] >= STATUS_FOUR) << x;
    four_rows[1][y] |= static_cast<std::uint64_t>(centre->status[1] >= STATUS_FOUR) << x;

    side = 1 - side;
    other = 1 - other;
    const int p = side;
    const int owner = 8 * p;  // shift of p's byte in a pair of masks
    hash.remove_stone(x, y, p);
    --ply;

    // The masks lose the stone's bits; the cells whose line types make
    // changed get back the types and statuses it noted.
#pragma GCC unroll 4
    for (int d = 0; d < DIRECTIONS; ++d) {
#pragma GCC unroll 4
        for (int k = 1; k <= LINE_REACH; ++k) {
            Cell& back = centre[-k * STEP[d]];
            store_masks(back, d, load_masks(back, d) & ~(forward_bit(k) << owner));
            Cell& forward = centre[k * STEP[d]];
            store_masks(forward, d, load_masks(forward, d) & ~(back_bit(k) << owner));
        }
        if constexpr (RULES) {
            const int at = x * GRID_SIZE + y;
            far_masks[at - RULE_REACH * STEP[d]][d] &= ~(FAR_FORWARD << (FAR_PLAYER_SHIFT * p));
            far_masks[at + RULE_REACH * STEP[d]][d] &= ~(FAR_BACK << (FAR_PLAYER_SHIFT * p));
        }
    }
    const int changes = type_change_count[move_count];
    type_change_top -= changes;
    const TypeChange* const log = &type_changes[type_change_top];
    Cell* const grid = &cells[0][0];
    for (int i = 0; i < changes; ++i) {
        const TypeChange& change = log[i];
        Cell& c = grid[change.cell];
        store_types(c, change.types);
        std::memcpy(c.status, change.status, sizeof c.status);
    }
    for (int i = four_flip_count[move_count]; i > 0; --i) {
        const int flip = four_flips[--four_flip_top];
        four_rows[flip >> 12][(flip >> 6) & 63] ^= 1ULL << (flip & 63);
    }
    assert(line_window_exact<RULES>(*this, centre));
    for (int i = 0; i < 8; ++i) {
        --centre[NEAR1[i]].near1;
        --centre[NEAR2[i]].near2;
    }
}

void Engine::move(int x, int y) { make(x + MARGIN, y + MARGIN); }

}  // namespace vantrel
