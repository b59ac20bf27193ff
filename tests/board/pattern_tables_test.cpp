// Tests of the pattern tables: known lines and their types, statuses, window
// rows, weights and priorities; every entry against the rules restated over
// raw masks; mirror symmetry; and the listed priority departures.
#include "board/pattern_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {
namespace {

// ---- Helpers -------------------------------------------------------------

// A line picture lists k = -4..+4 with the centre bracketed, e.g.
// "x.oo[o]....": o own, x opponent, # outside (both masks), . empty.
// Returns own x 256 + opponent, or -1 for a malformed picture.
int pair_of(std::string_view picture) {
    std::string cells;
    for (char c : picture) {
        if (c != '[' && c != ']') cells += c;
    }
    if (cells.size() != 9 || cells[4] != 'o' || picture.substr(4, 3) != "[o]") return -1;
    int own = 0;
    int opponent = 0;
    for (int cell = 0; cell < 9; ++cell) {
        if (cell == 4) continue;
        const int bit = 1 << (cell < 4 ? cell : cell - 1);
        switch (cells[cell]) {
            case 'o':
                own |= bit;
                break;
            case 'x':
                opponent |= bit;
                break;
            case '#':
                own |= bit;
                opponent |= bit;
                break;
            case '.':
                break;
            default:
                return -1;
        }
    }
    return pair_index(own, opponent);
}

// The same line read from k = +4 down to k = -4.
int mirror_mask(int mask) {
    int mirrored = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (mask >> bit & 1) mirrored |= 1 << (7 - bit);
    }
    return mirrored;
}

int mirror_pair(int pair) { return pair_index(mirror_mask(pair >> 8), mirror_mask(pair & 255)); }

int own_of(int pair) { return pair >> 8; }
int opponent_of(int pair) { return pair & 255; }

// Own stones as a nine-bit word, bit 4 the centre; outside counts as a blocker.
int own_stones(int pair) {
    const int stones = own_of(pair) & ~opponent_of(pair);
    return (stones & 0x0F) | 1 << 4 | (stones & 0xF0) << 1;
}

bool has_five(int stones) { return (stones & stones >> 1 & stones >> 2 & stones >> 3 & stones >> 4) != 0; }

int empty_bits(int pair) { return ~(own_of(pair) | opponent_of(pair)) & 0xFF; }

// The five windows as mask bits (the centre, in all of them, has no bit).
constexpr std::array<int, 5> WINDOW_BITS = {0x0F, 0x1E, 0x3C, 0x78, 0xF0};

std::array<int, 5> expected_window_counts(int pair) {
    std::array<int, 5> counts{};
    const int own = own_of(pair) & ~opponent_of(pair);
    for (int window : WINDOW_BITS) {
        if (opponent_of(pair) & window) continue;
        // Index: own count - 1, and the centre is the one stone without a bit.
        ++counts[std::popcount(static_cast<unsigned>(own & window))];
    }
    return counts;
}

std::array<int, 5> table_window_counts(int pair) {
    const int row = EvalIndexTable[pair];
    std::array<int, 5> counts{};
    for (int size = 0; size < 5; ++size) counts[size] = WindowCounts[row][size];
    return counts;
}

int priority_by_main_rule(int pair) {
    if (LineTypeTable[pair] >= LINE_OPEN_THREE) return 15;
    const std::array<int, 5> w = expected_window_counts(pair);
    const int q = w[1] + 2 * w[2];
    return q >= 4 ? q : 0;
}

struct ListedDeparture {
    int own;
    int opponent;
    const char* picture;
    int value;
};

// The departures from the priority rule, as the design lists them.
const std::vector<ListedDeparture>& listed_departures() {
    static const std::vector<ListedDeparture> list = {
        {41, 64, "o..o[o].ox.", 5},    {41, 192, "o..o[o].oxx", 5},  {64, 129, "x...[o]..ox", 15},
        {65, 129, "#...[o]..ox", 15},  {74, 1, "xo.o[o]..o.", 6},    {74, 129, "xo.o[o]..ox", 5},
        {75, 1, "#o.o[o]..o.", 6},     {75, 129, "#o.o[o]..ox", 5},  {82, 128, ".o..[o]o.ox", 6},
        {82, 129, "xo..[o]o.ox", 5},   {83, 129, "#o..[o]o.ox", 5},  {105, 64, "o..o[o].o#.", 5},
        {105, 192, "o..o[o].o#x", 5},  {148, 2, ".xo.[o]o..o", 5},   {148, 3, "xxo.[o]o..o", 5},
        {149, 2, "oxo.[o]o..o", 5},    {149, 3, "#xo.[o]o..o", 5},   {150, 2, ".#o.[o]o..o", 5},
        {150, 3, "x#o.[o]o..o", 5},    {151, 2, "o#o.[o]o..o", 5},   {151, 3, "##o.[o]o..o", 5},
        {169, 64, "o..o[o].oxo", 5},   {169, 192, "o..o[o].ox#", 5}, {192, 129, "x...[o]..o#", 15},
        {193, 129, "#...[o]..o#", 15}, {202, 129, "xo.o[o]..o#", 5}, {203, 129, "#o.o[o]..o#", 5},
        {210, 128, ".o..[o]o.o#", 6},  {210, 129, "xo..[o]o.o#", 5}, {211, 129, "#o..[o]o.o#", 5},
        {233, 64, "o..o[o].o#o", 5},   {233, 192, "o..o[o].o##", 5},
    };
    return list;
}

std::set<int> listed_pairs() {
    std::set<int> pairs;
    for (const ListedDeparture& d : listed_departures()) pairs.insert(pair_index(d.own, d.opponent));
    return pairs;
}

class PatternTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() { build_tables(); }
};

// ---- Known lines ---------------------------------------------------------

TEST_F(PatternTables, PictureHelperReadsMasks) {
    EXPECT_EQ(pair_of("....[o]...."), pair_index(0, 0));
    EXPECT_EQ(pair_of("x...[o]...#"), pair_index(128, 129));
    EXPECT_EQ(pair_of("...o[o]o..."), pair_index(8 | 16, 0));
    EXPECT_EQ(pair_of("....[x]...."), -1);
    EXPECT_EQ(pair_of("...[o]...."), -1);
}

TEST_F(PatternTables, LineTypeWorkedExamples) {
    struct Example {
        int own, opponent;
        const char* picture;
        int type;
    };
    const Example examples[] = {
        {0, 0, "....[o]....", 2},   {1, 0, "o...[o]....", 3},  {8, 0, "...o[o]....", 4},  {12, 0, "..oo[o]....", 6},
        {12, 1, "x.oo[o]....", 6},  {14, 0, ".ooo[o]....", 8}, {14, 1, "xooo[o]....", 7}, {15, 0, "oooo[o]....", 9},
        {31, 0, "oooo[o]o...", 9},  {36, 0, "..o.[o].o..", 5}, {45, 0, "o.oo[o].o..", 8}, {0, 8, "...x[o]....", 1},
        {15, 15, "####[o]....", 1}, {8, 34, ".x.o[o].x..", 0},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(e.picture);
        ASSERT_EQ(pair_of(e.picture), pair_index(e.own, e.opponent));
        EXPECT_EQ(LineTypeTable[pair_index(e.own, e.opponent)], e.type);
    }
}

TEST_F(PatternTables, EdgeCasesOfTypesRowsWeightsAndPriorities) {
    struct Case {
        const char* picture;
        int type, row, weight, priority;
    };
    const Case cases[] = {
        {"....[o]....", 2, 1, 15, 0},     // open line
        {"oooo[o]oooo", 9, 106, 95, 15},  // nine in a row
        {".x.o[o].x..", 0, 0, 0, 0},      // no free window
        {"####[o]....", 1, 5, 3, 0},      // board edge right behind the centre
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        const int pair = pair_of(c.picture);
        ASSERT_GE(pair, 0);
        EXPECT_EQ(LineTypeTable[pair], c.type);
        EXPECT_EQ(EvalIndexTable[pair], c.row);
        EXPECT_EQ(EvalWeights[EvalIndexTable[pair]], c.weight);
        EXPECT_EQ(PriorityTable[pair], c.priority);
    }
    EXPECT_EQ(LineTypeTable[pair_of("oooo[o]o...")], LINE_FIVE);  // six counts as five
    EXPECT_EQ(LineTypeTable[pair_of(".ooo[o]....")], LINE_OPEN_FOUR);
    EXPECT_EQ(LineTypeTable[pair_of("xooo[o]....")], LINE_FOUR);

    struct Priority {
        const char* picture;
        int type, priority;
    };
    const Priority priorities[] = {
        {"..o.[o].o..", LINE_THREE, 6},
        {".oo.[o]....", LINE_OPEN_THREE, 15},
        {"...o[o]....", LINE_OPEN_TWO, 4},
        {"..o.[o]....", LINE_OPEN_TWO, 0},  // q = 3, below the threshold
    };
    for (const Priority& p : priorities) {
        SCOPED_TRACE(p.picture);
        EXPECT_EQ(LineTypeTable[pair_of(p.picture)], p.type);
        EXPECT_EQ(PriorityTable[pair_of(p.picture)], p.priority);
    }
}

// Lines drawn by hand, with types and priorities worked out on paper.
TEST_F(PatternTables, HandDrawnLines) {
    struct Case {
        const char* picture;
        int type, priority;
    };
    const Case cases[] = {
        {"..xo[o]oo..", LINE_FOUR, 15},        // only +3 completes
        {"oo.o[o]....", LINE_FOUR, 15},        // only -2 completes
        {"ooo.[o].ooo", LINE_OPEN_FOUR, 15},   // -1 and +1 both complete
        {"...o[o]o...", LINE_OPEN_THREE, 15},  // straight three, room both ways
        {"x..o[o]..x.", LINE_OPEN_TWO, 0},     // six free cells still make .oooo., but q = 2
        {"x.oo[o].x..", LINE_THREE, 0},        // three boxed in one window: q = 2
        {"####[o]oo..", LINE_THREE, 0},        // three against the edge
        {"oo..[o]..oo", LINE_THREE, 6},        // windows 3,2,1,2,3 stones
        {"x.o.[o].x..", LINE_TWO, 0},          // a two in a single window
        {"xo.x[o]x...", LINE_DEAD, 0},         // centre walled in on both sides
        {"oxo#[o]#oxo", LINE_DEAD, 0},         // stones beyond blockers count for nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        const int pair = pair_of(c.picture);
        ASSERT_GE(pair, 0);
        EXPECT_EQ(LineTypeTable[pair], c.type);
        EXPECT_EQ(PriorityTable[pair], c.priority);
    }
    // A lone stone walled in: its weight is the weight of no window at all.
    EXPECT_EQ(EvalWeights[EvalIndexTable[pair_of("xo.x[o]x...")]], 0);
}

// ---- Statuses ------------------------------------------------------------

TEST_F(PatternTables, ClassifyStatusCases) {
    struct Case {
        int t0, t1, t2, t3, status;
    };
    const Case cases[] = {
        {9, 0, 0, 0, 10},
        {7, 7, 0, 0, 9},
        {8, 0, 0, 0, 9},
        {7, 6, 0, 0, 8},
        {7, 4, 0, 0, 7},
        {7, 3, 3, 3, 6},
        {6, 6, 0, 0, 5},
        {6, 5, 0, 0, 4},
        {6, 3, 2, 1, 3},
        {5, 4, 0, 0, 2},
        {5, 5, 5, 5, 0},
        // Beyond the listed cases: a five beats an open four, a three lifts a
        // four, a lone open two is status 2, and types 1..3 never count.
        {8, 9, 0, 0, 10},
        {5, 7, 0, 0, 7},
        {0, 0, 4, 0, 2},
        {3, 2, 1, 3, 0},
    };
    for (const Case& c : cases) {
        std::array<int, 4> t = {c.t0, c.t1, c.t2, c.t3};
        std::sort(t.begin(), t.end());
        do {  // the order of the four lines must not matter
            SCOPED_TRACE(::testing::Message() << t[0] << t[1] << t[2] << t[3]);
            EXPECT_EQ(classify_status(t[0], t[1], t[2], t[3]), c.status);
            EXPECT_EQ(StatusTable[status_index(t[0], t[1], t[2], t[3])], c.status);
        } while (std::next_permutation(t.begin(), t.end()));
    }
}

TEST_F(PatternTables, StatusTableCountsAndOrder) {
    std::array<int, 11> histogram{};
    for (int index = 0; index < STATUS_TABLE_SIZE; ++index) {
        ASSERT_LE(StatusTable[index], STATUS_FIVE);
        ++histogram[StatusTable[index]];
        std::array<int, 4> t = {index / 1000, index / 100 % 10, index / 10 % 10, index % 10};
        EXPECT_EQ(StatusTable[index], classify_status(t[0], t[1], t[2], t[3])) << index;
        std::sort(t.begin(), t.end());
        EXPECT_EQ(StatusTable[index], StatusTable[status_index(t[0], t[1], t[2], t[3])]) << index;
    }
    EXPECT_EQ(histogram[1], 0);
    EXPECT_EQ(histogram[0], 625);
    EXPECT_EQ(histogram[10], 3439);
}

// ---- Window rows and weights ---------------------------------------------

TEST_F(PatternTables, WindowRowsInFirstAppearanceOrder) {
    const std::array<std::array<int, 5>, 7> first_rows = {{
        {0, 0, 0, 0, 0},
        {5, 0, 0, 0, 0},
        {4, 0, 0, 0, 0},
        {3, 0, 0, 0, 0},
        {2, 0, 0, 0, 0},
        {1, 0, 0, 0, 0},
        {4, 1, 0, 0, 0},
    }};
    for (int row = 0; row < 7; ++row) {
        for (int size = 0; size < 5; ++size) EXPECT_EQ(WindowCounts[row][size], first_rows[row][size]) << row;
    }
    const std::array<int, 5> last = {0, 0, 0, 0, 5};
    for (int size = 0; size < 5; ++size) EXPECT_EQ(WindowCounts[WINDOW_ROWS - 1][size], last[size]);
    EXPECT_EQ(EvalIndexTable[pair_index(255, 0)], WINDOW_ROWS - 1);

    // Each new row met in own-outer, opponent-inner order is the next number.
    std::vector<bool> seen(WINDOW_ROWS, false);
    seen[0] = true;
    int next_row = 1;
    for (int pair = 0; pair < MASK_PAIRS; ++pair) {
        const int row = EvalIndexTable[pair];
        ASSERT_GE(row, 0);
        ASSERT_LT(row, WINDOW_ROWS);
        if (!seen[row]) {
            ASSERT_EQ(row, next_row) << "pair " << pair;
            seen[row] = true;
            ++next_row;
        }
    }
    EXPECT_EQ(next_row, WINDOW_ROWS);

    std::set<std::array<int, 5>> distinct;
    for (int row = 0; row < WINDOW_ROWS; ++row) {
        std::array<int, 5> counts{};
        for (int size = 0; size < 5; ++size) counts[size] = WindowCounts[row][size];
        distinct.insert(counts);
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(WINDOW_ROWS));
}

TEST_F(PatternTables, EvalWeightsByWindowOwnCount) {
    for (int row = 0; row < WINDOW_ROWS; ++row) {
        const auto& w = WindowCounts[row];
        EXPECT_EQ(EvalWeights[row], 3 * w[0] + 7 * w[1] + 11 * w[2] + 15 * w[3] + 19 * w[4]) << row;
    }
    EXPECT_EQ(EvalWeights[EvalIndexTable[pair_of("oooo[o]....")]], 55);
    EXPECT_EQ(EvalWeights[EvalIndexTable[pair_of("oooo[o]o...")]], 71);
}

// ---- Every entry against the rules ---------------------------------------

// The line-type rule, restated over the masks: the table must be its own
// fixed point. Adding an own stone strictly grows the own mask, so a table
// that passes this for every pair is the one the rule defines.
TEST_F(PatternTables, LineTypesFollowTheRuleForEveryPair) {
    for (int pair = 0; pair < MASK_PAIRS; ++pair) {
        const int stones = own_stones(pair);
        int expected;
        if (has_five(stones)) {
            expected = LINE_FIVE;
        } else {
            int completing = 0;
            int best = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (!(empty_bits(pair) >> bit & 1)) continue;
                const int grown = pair + (1 << bit << 8);
                completing += has_five(own_stones(grown));
                best = std::max(best, static_cast<int>(LineTypeTable[grown]));
            }
            expected = completing >= 2 ? LINE_OPEN_FOUR : completing == 1 ? LINE_FOUR : best >= 2 ? best - 2 : 0;
        }
        ASSERT_EQ(LineTypeTable[pair], expected) << "own " << own_of(pair) << " opp " << opponent_of(pair);
    }
}

TEST_F(PatternTables, WindowCountsFollowTheRuleForEveryPair) {
    for (int pair = 0; pair < MASK_PAIRS; ++pair) {
        ASSERT_EQ(table_window_counts(pair), expected_window_counts(pair))
            << "own " << own_of(pair) << " opp " << opponent_of(pair);
    }
}

TEST_F(PatternTables, PrioritiesFollowTheRuleExceptTheListedPairs) {
    const std::set<int> listed = listed_pairs();
    std::set<int> values;
    for (int pair = 0; pair < MASK_PAIRS; ++pair) {
        ASSERT_EQ(PriorityTable[pair], PrioritySource[pair]) << pair;
        values.insert(PrioritySource[pair]);
        if (listed.count(pair)) continue;
        ASSERT_EQ(PrioritySource[pair], priority_by_main_rule(pair))
            << "own " << own_of(pair) << " opp " << opponent_of(pair);
    }
    for (int value : values) {
        EXPECT_TRUE(value == 0 || (value >= 4 && value <= 8) || value == 15) << value;
    }
}

// The tables read with a direction's two masks side by side (player 0's in
// the low byte) give what the per-player tables give for each player.
TEST_F(PatternTables, TablesOfBothMasksAgreeWithThePerPlayerTables) {
    for (int m0 = 0; m0 < 256; ++m0)
        for (int m1 = 0; m1 < 256; ++m1) {
            const int masks = m0 | m1 << 8;
            ASSERT_EQ(BothLineTypesTable[masks] & 0xFF, LineTypeTable[pair_index(m0, m1)]) << m0 << " " << m1;
            ASSERT_EQ(BothLineTypesTable[masks] >> 8, LineTypeTable[pair_index(m1, m0)]) << m0 << " " << m1;
            ASSERT_EQ(PairPriorityTable[masks], PriorityTable[pair_index(m0, m1)] + PriorityTable[pair_index(m1, m0)])
                << m0 << " " << m1;
        }
}

// ---- The listed departures -----------------------------------------------

TEST_F(PatternTables, ListedDeparturesHoldTheirValuesAndDepartFromTheRule) {
    ASSERT_EQ(listed_departures().size(), 32u);
    ASSERT_EQ(listed_pairs().size(), 32u);
    for (const ListedDeparture& d : listed_departures()) {
        SCOPED_TRACE(d.picture);
        const int pair = pair_index(d.own, d.opponent);
        ASSERT_EQ(pair_of(d.picture), pair);
        EXPECT_EQ(PrioritySource[pair], d.value);
        EXPECT_NE(PrioritySource[pair], priority_by_main_rule(pair));
        if (d.value == 15) {
            EXPECT_EQ(d.opponent, 129);  // the lone stone three cells forward
            EXPECT_LT(LineTypeTable[pair], LINE_OPEN_THREE);
        } else {
            EXPECT_EQ(LineTypeTable[pair], LINE_OPEN_THREE);
            const std::array<int, 5> w = expected_window_counts(pair);
            EXPECT_EQ(d.value, w[1] + 2 * w[2]);  // q instead of 15
        }
    }
    EXPECT_EQ(PrioritySource[pair_index(64, 129)], 15);
    EXPECT_EQ(PrioritySource[pair_index(2, 129)], 0);
}

// The split open threes found from their description alone: an open three
// whose reachable own stones are exactly o..oo.o or o.oo..o, the centre in the
// adjacent pair, the cell beyond the lone stone on the single-gap side taken.
// They must be exactly the listed ones with a value below 15.
TEST_F(PatternTables, SplitThreeDeparturesMatchTheirDescription) {
    std::set<int> described;
    for (int pair = 0; pair < MASK_PAIRS; ++pair) {
        if (LineTypeTable[pair] != LINE_OPEN_THREE) continue;
        std::array<char, 9> cell{};
        for (int k = 0; k < 9; ++k) {
            if (k == 4) {
                cell[k] = 'o';
                continue;
            }
            const int bit = k < 4 ? k : k - 1;
            cell[k] = (opponent_of(pair) >> bit & 1) ? 'x' : (own_of(pair) >> bit & 1) ? 'o' : '.';
        }
        int low = 4;
        while (low > 0 && cell[low - 1] != 'x') --low;
        int high = 4;
        while (high < 8 && cell[high + 1] != 'x') ++high;
        std::vector<int> stones;
        for (int k = low; k <= high; ++k) {
            if (cell[k] == 'o') stones.push_back(k);
        }
        if (stones.size() != 4) continue;
        const int a = stones[0];
        const std::vector<int> shape = {0, stones[1] - a, stones[2] - a, stones[3] - a};
        int pair_first, beyond;
        if (shape == std::vector<int>{0, 3, 4, 6}) {  // o..oo.o: gap on the right
            pair_first = a + 3;
            beyond = a + 7;
        } else if (shape == std::vector<int>{0, 2, 3, 6}) {  // o.oo..o: gap on the left
            pair_first = a + 2;
            beyond = a - 1;
        } else {
            continue;
        }
        if (pair_first != 4 && pair_first + 1 != 4) continue;
        ASSERT_TRUE(beyond >= 0 && beyond < 9) << pair;  // the centre in the pair keeps it on the line
        if (cell[beyond] != '.') described.insert(pair);
    }

    std::set<int> listed_split;
    for (const ListedDeparture& d : listed_departures()) {
        if (d.value != 15) listed_split.insert(pair_index(d.own, d.opponent));
    }
    EXPECT_EQ(listed_split.size(), 28u);
    EXPECT_EQ(described, listed_split);
}

// ---- Mirror symmetry -----------------------------------------------------

TEST_F(PatternTables, MirrorImagesShareTypesAndWindows) {
    for (int pair = 0; pair < MASK_PAIRS; ++pair) {
        const int mirrored = mirror_pair(pair);
        ASSERT_EQ(mirror_pair(mirrored), pair);
        ASSERT_EQ(LineTypeTable[pair], LineTypeTable[mirrored]) << pair;
        ASSERT_EQ(EvalIndexTable[pair], EvalIndexTable[mirrored]) << pair;
    }
}

TEST_F(PatternTables, MirrorImagesSharePrioritiesExceptUnpairedDepartures) {
    const std::set<int> listed = listed_pairs();
    std::set<int> unpaired;  // listed departures whose mirror is not listed
    for (int pair : listed) {
        if (!listed.count(mirror_pair(pair))) unpaired.insert(pair);
    }
    EXPECT_EQ(unpaired,
              (std::set<int>{pair_index(64, 129), pair_index(65, 129), pair_index(192, 129), pair_index(193, 129)}));

    int asymmetric = 0;
    for (int pair = 0; pair < MASK_PAIRS; ++pair) {
        const int mirrored = mirror_pair(pair);
        if (PrioritySource[pair] == PrioritySource[mirrored]) continue;
        ++asymmetric;
        EXPECT_TRUE(unpaired.count(pair) || unpaired.count(mirrored))
            << "own " << own_of(pair) << " opp " << opponent_of(pair);
    }
    EXPECT_EQ(asymmetric, 2 * static_cast<int>(unpaired.size()));
}

// ---- Rebuilding ----------------------------------------------------------

TEST_F(PatternTables, RebuildingWritesIdenticalTables) {
    auto snapshot = [] {
        std::vector<unsigned char> bytes;
        auto add = [&bytes](const void* table, std::size_t size) {
            const auto* begin = static_cast<const unsigned char*>(table);
            bytes.insert(bytes.end(), begin, begin + size);
        };
        add(LineTypeTable, sizeof LineTypeTable);
        add(StatusTable, sizeof StatusTable);
        add(EvalIndexTable, sizeof EvalIndexTable);
        add(WindowCounts, sizeof WindowCounts);
        add(EvalWeights, sizeof EvalWeights);
        add(PrioritySource, sizeof PrioritySource);
        add(PriorityTable, sizeof PriorityTable);
        return bytes;
    };
    const std::vector<unsigned char> first = snapshot();

    // Every rebuild must rewrite the derived tables, not rely on what is there.
    std::memset(StatusTable, 0, sizeof StatusTable);
    std::memset(EvalWeights, 0, sizeof EvalWeights);
    std::memset(PriorityTable, 0, sizeof PriorityTable);
    build_tables();
    EXPECT_TRUE(snapshot() == first);
    build_tables();
    EXPECT_TRUE(snapshot() == first);
}

}  // namespace
}  // namespace vantrel
