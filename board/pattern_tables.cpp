// Generates the pattern tables from their rules.
//
// The fixed tables (LineTypeTable, EvalIndexTable, WindowCounts,
// PrioritySource) are filled once per process, from decoded nine-cell lines;
// the derived tables (StatusTable, EvalWeights, PriorityTable) are rewritten
// from them by every build_tables call. PriorityTable is copied from
// PrioritySource, so the fixed tables must exist before the derived ones:
// build_tables takes care of that order. PairPriorityTable, a fixed table,
// sums PrioritySource the way cell priorities sum PriorityTable.
#include "board/pattern_tables.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <mutex>

namespace vantrel {

std::uint8_t LineTypeTable[MASK_PAIRS];
std::uint8_t StatusTable[STATUS_TABLE_SIZE];
std::int8_t EvalIndexTable[MASK_PAIRS];
std::int8_t WindowCounts[WINDOW_ROWS][WINDOW_SIZES];
std::int32_t EvalWeights[WINDOW_ROWS];
std::int16_t PrioritySource[MASK_PAIRS];
std::int32_t PriorityTable[MASK_PAIRS];
std::uint8_t PairPriorityTable[MASK_PAIRS];
std::uint16_t BothLineTypesTable[MASK_PAIRS];

namespace {

// ---- Decoded lines -------------------------------------------------------

// Positions k = -4..+4 at indices 0..8; the centre (index 4) is always own.
// Mask bit b stands for index b below the centre and b + 1 above it.
constexpr int LINE_CELLS = 9;
constexpr int CENTRE = 4;
constexpr int WINDOW_LENGTH = 5;
constexpr int WINDOWS = LINE_CELLS - WINDOW_LENGTH + 1;

enum Spot : std::uint8_t { EMPTY = 0, OWN = 1, BLOCKER = 2 };
using Line = std::array<Spot, LINE_CELLS>;

constexpr int cell_of_bit(int bit) { return bit < CENTRE ? bit : bit + 1; }

// A bit set in both masks is the outside of the board: a blocker, whatever
// the own mask says, so that every pair has a defined meaning.
Line decode(int own_mask, int opponent_mask) {
    Line line{};
    line[CENTRE] = OWN;
    for (int bit = 0; bit < 8; ++bit) {
        Spot& spot = line[cell_of_bit(bit)];
        if (opponent_mask >> bit & 1) {
            spot = BLOCKER;
        } else if (own_mask >> bit & 1) {
            spot = OWN;
        }
    }
    return line;
}

bool holds_five(const Line& line) {
    int run = 0;
    for (Spot spot : line) {
        run = spot == OWN ? run + 1 : 0;
        if (run >= 5) return true;
    }
    return false;
}

// ---- Line types ----------------------------------------------------------

// Every line that the recursion meets is one of the 3^8 fillings of the eight
// positions around the centre, so the memo is indexed by that base-3 number.
constexpr int LINE_CODES = 6561;
constexpr std::int8_t UNKNOWN_TYPE = -1;
using TypeMemo = std::array<std::int8_t, LINE_CODES>;

int line_code(const Line& line) {
    int code = 0;
    for (int cell = 0; cell < LINE_CELLS; ++cell) {
        if (cell != CENTRE) code = code * 3 + line[cell];
    }
    return code;
}

// Five? Then count the empty points that would complete one. Otherwise the
// type is two below the best type that one more own stone can reach. Every
// step adds an own stone, so the recursion ends within eight levels.
int line_type(Line& line, TypeMemo& memo) {
    std::int8_t& known = memo[line_code(line)];
    if (known != UNKNOWN_TYPE) return known;

    int type;
    if (holds_five(line)) {
        type = LINE_FIVE;
    } else {
        int completing = 0;
        for (Spot& spot : line) {
            if (spot != EMPTY) continue;
            spot = OWN;
            completing += holds_five(line);
            spot = EMPTY;
        }
        if (completing >= 2) {
            type = LINE_OPEN_FOUR;
        } else if (completing == 1) {
            type = LINE_FOUR;
        } else {
            int best = LINE_DEAD;
            for (Spot& spot : line) {
                if (spot != EMPTY) continue;
                spot = OWN;
                best = std::max(best, line_type(line, memo));
                spot = EMPTY;
            }
            type = best >= 2 ? best - 2 : LINE_DEAD;
        }
    }
    known = static_cast<std::int8_t>(type);
    return type;
}

// ---- Window counts -------------------------------------------------------

// w1..w5 at indices 0..4: free windows with own count 1..5.
using WindowVector = std::array<int, WINDOW_SIZES>;

WindowVector window_counts(const Line& line) {
    WindowVector counts{};
    for (int start = 0; start < WINDOWS; ++start) {
        int own = 0;
        bool free = true;
        for (int cell = start; cell < start + WINDOW_LENGTH; ++cell) {
            free = free && line[cell] != BLOCKER;
            own += line[cell] == OWN;
        }
        if (free) ++counts[own - 1];  // the centre is in every window: own >= 1
    }
    return counts;
}

// Weight of a free window by its own count: 4 x count - 1.
constexpr std::array<int, WINDOW_SIZES> WINDOW_WEIGHTS = {3, 7, 11, 15, 19};

// ---- Priorities ----------------------------------------------------------

// Lines from an open three upwards are worth the most to look at first.
constexpr int PRIORITY_URGENT = 15;
// Below that, free windows holding two own stones count 1 and three count 2;
// sums below the threshold are too weak to order by.
constexpr int PRIORITY_THRESHOLD = 4;

int priority_rule(int type, const WindowVector& w) { return priority_of_line(type, w[1], w[2]); }

struct PriorityDeparture {
    std::uint8_t own;
    std::uint8_t opponent;
    std::int16_t value;
};

// Entries where the priority is not what the rule gives; the list is
// complete. Most are split open threes, o..oo.o and o.oo..o with the centre in
// the adjacent pair, whose lone stone is hemmed in on the side of the single
// gap: the straight four .oooo. has no room there, so the only open four left
// is the split o.ooo.o, and the line is ordered by its windows like a plain
// three rather than as urgent. The four pairs with opponent mask 129 and a lone
// own stone three cells forward are ordered as urgent although the rule gives
// 0; their mirror images (own 2, 3, 130, 131) are not, and keep the rule.
// Pictures run from k = -4 to +4, the centre bracketed: o own, x opponent,
// # outside, . empty.
constexpr std::array<PriorityDeparture, 32> PRIORITY_DEPARTURES = {{
    {41, 64, 5},     // o..o[o].ox.
    {41, 192, 5},    // o..o[o].oxx
    {64, 129, 15},   // x...[o]..ox
    {65, 129, 15},   // #...[o]..ox
    {74, 1, 6},      // xo.o[o]..o.
    {74, 129, 5},    // xo.o[o]..ox
    {75, 1, 6},      // #o.o[o]..o.
    {75, 129, 5},    // #o.o[o]..ox
    {82, 128, 6},    // .o..[o]o.ox
    {82, 129, 5},    // xo..[o]o.ox
    {83, 129, 5},    // #o..[o]o.ox
    {105, 64, 5},    // o..o[o].o#.
    {105, 192, 5},   // o..o[o].o#x
    {148, 2, 5},     // .xo.[o]o..o
    {148, 3, 5},     // xxo.[o]o..o
    {149, 2, 5},     // oxo.[o]o..o
    {149, 3, 5},     // #xo.[o]o..o
    {150, 2, 5},     // .#o.[o]o..o
    {150, 3, 5},     // x#o.[o]o..o
    {151, 2, 5},     // o#o.[o]o..o
    {151, 3, 5},     // ##o.[o]o..o
    {169, 64, 5},    // o..o[o].oxo
    {169, 192, 5},   // o..o[o].ox#
    {192, 129, 15},  // x...[o]..o#
    {193, 129, 15},  // #...[o]..o#
    {202, 129, 5},   // xo.o[o]..o#
    {203, 129, 5},   // #o.o[o]..o#
    {210, 128, 6},   // .o..[o]o.o#
    {210, 129, 5},   // xo..[o]o.o#
    {211, 129, 5},   // #o..[o]o.o#
    {233, 64, 5},    // o..o[o].o#o
    {233, 192, 5},   // o..o[o].o##
}};

// ---- Generation ----------------------------------------------------------

// Window-count vectors as base-6 numbers, to give each its row.
constexpr int VECTOR_KEYS = 6 * 6 * 6 * 6 * 6;
constexpr std::int8_t NO_ROW = -1;

int vector_key(const WindowVector& w) {
    int key = 0;
    for (int count : w) key = key * 6 + count;
    return key;
}

void generate_fixed_tables() {
    TypeMemo memo;
    memo.fill(UNKNOWN_TYPE);

    // Row 0 is the line with no free window; the others take rows in order of
    // first appearance, own mask outer, opponent mask inner.
    std::array<std::int8_t, VECTOR_KEYS> row_of_key;
    row_of_key.fill(NO_ROW);
    row_of_key[0] = 0;
    std::fill(&WindowCounts[0][0], &WindowCounts[0][0] + WINDOW_SIZES, 0);
    int rows = 1;

    for (int own = 0; own < 256; ++own) {
        for (int opponent = 0; opponent < 256; ++opponent) {
            const int pair = pair_index(own, opponent);
            Line line = decode(own, opponent);
            const int type = line_type(line, memo);
            const WindowVector windows = window_counts(line);

            std::int8_t& row = row_of_key[vector_key(windows)];
            if (row == NO_ROW) {
                assert(rows < WINDOW_ROWS);
                row = static_cast<std::int8_t>(rows++);
                for (int size = 0; size < WINDOW_SIZES; ++size) {
                    WindowCounts[row][size] = static_cast<std::int8_t>(windows[size]);
                }
            }

            LineTypeTable[pair] = static_cast<std::uint8_t>(type);
            EvalIndexTable[pair] = row;
            PrioritySource[pair] = static_cast<std::int16_t>(priority_rule(type, windows));
        }
    }
    assert(rows == WINDOW_ROWS);

    for (const PriorityDeparture& departure : PRIORITY_DEPARTURES) {
        PrioritySource[pair_index(departure.own, departure.opponent)] = departure.value;
    }

    for (int m0 = 0; m0 < 256; ++m0)
        for (int m1 = 0; m1 < 256; ++m1)
            BothLineTypesTable[m0 | m1 << 8] =
                static_cast<std::uint16_t>(LineTypeTable[pair_index(m0, m1)] | LineTypeTable[pair_index(m1, m0)] << 8);

    // From PrioritySource, which PriorityTable copies: made once here rather
    // than at every reset.
    for (int m0 = 0; m0 < 256; ++m0)
        for (int m1 = 0; m1 < 256; ++m1) {
            const int both = PrioritySource[pair_index(m0, m1)] + PrioritySource[pair_index(m1, m0)];
            assert(both >= 0 && both <= UINT8_MAX);
            PairPriorityTable[m0 | m1 << 8] = static_cast<std::uint8_t>(both);
        }
}

}  // namespace

namespace {

// The status rule over the numbers of lines of each type.
int status_from_counts(const int (&count)[LINE_FIVE + 1]) {
    const int fives = count[LINE_FIVE];
    const int open_fours = count[LINE_OPEN_FOUR];
    const int fours = count[LINE_FOUR];
    const int open_threes = count[LINE_OPEN_THREE];
    const int threes = count[LINE_THREE];
    const int open_twos = count[LINE_OPEN_TWO];

    if (fives >= 1) return STATUS_FIVE;
    if (open_fours >= 1 || fours >= 2) return STATUS_OPEN_FOUR;
    if (fours == 1) {
        if (open_threes >= 1) return STATUS_FOUR_THREE;
        return threes >= 1 || open_twos >= 1 ? STATUS_FOUR_PLUS : STATUS_FOUR;
    }
    if (open_threes >= 2) return STATUS_DOUBLE_THREE;
    if (open_threes == 1) {
        return threes >= 1 || open_twos >= 1 ? STATUS_OPEN_THREE_PLUS : STATUS_OPEN_THREE;
    }
    if (open_twos >= 1) return STATUS_OPEN_TWO;
    return STATUS_NONE;
}

}  // namespace

int priority_of_line(int type, int twos, int threes) {
    if (type >= LINE_OPEN_THREE) return PRIORITY_URGENT;
    const int q = twos + 2 * threes;
    return q >= PRIORITY_THRESHOLD ? q : 0;
}

int window_weight(const int (&counts)[WINDOW_SIZES]) {
    int weight = 0;
    for (int size = 0; size < WINDOW_SIZES; ++size) weight += WINDOW_WEIGHTS[size] * counts[size];
    return weight;
}

int classify_status(int t0, int t1, int t2, int t3) {
    int count[LINE_FIVE + 1] = {};
    ++count[t0];
    ++count[t1];
    ++count[t2];
    ++count[t3];
    return status_from_counts(count);
}

void build_tables() {
    static std::once_flag fixed_tables_ready;
    std::call_once(fixed_tables_ready, generate_fixed_tables);

    // The counts of line types follow the four nested loops, one type added
    // on the way in and taken out on the way back, instead of being counted
    // afresh for each of the 10^4 entries.
    int count[LINE_FIVE + 1] = {};
    for (int t0 = 0; t0 <= LINE_FIVE; ++t0) {
        ++count[t0];
        for (int t1 = 0; t1 <= LINE_FIVE; ++t1) {
            ++count[t1];
            for (int t2 = 0; t2 <= LINE_FIVE; ++t2) {
                ++count[t2];
                for (int t3 = 0; t3 <= LINE_FIVE; ++t3) {
                    ++count[t3];
                    StatusTable[status_index(t0, t1, t2, t3)] = static_cast<std::uint8_t>(status_from_counts(count));
                    --count[t3];
                }
                --count[t2];
            }
            --count[t1];
        }
        --count[t0];
    }

    for (int row = 0; row < WINDOW_ROWS; ++row) {
        int counts[WINDOW_SIZES];
        for (int size = 0; size < WINDOW_SIZES; ++size) counts[size] = WindowCounts[row][size];
        EvalWeights[row] = window_weight(counts);
    }

    for (int pair = 0; pair < MASK_PAIRS; ++pair) PriorityTable[pair] = PrioritySource[pair];
}

}  // namespace vantrel
