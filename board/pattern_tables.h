// The pattern tables: everything the engine knows about five-in-a-row shapes,
// as lookups indexed by the two 8-bit line masks of a cell (own mask x 256 +
// opponent mask) or by four line types. No shape is matched at run time.
//
// Fixed tables (LineTypeTable, EvalIndexTable, WindowCounts, PrioritySource,
// BothLineTypesTable, PairPriorityTable) follow from exact rules and are
// generated once per process from those rules; the derived tables
// (StatusTable, EvalWeights, PriorityTable) are rebuilt by build_tables at
// every engine reset. build_tables generates the fixed tables first if they
// are not there yet, so every engine reset, and any test that calls
// build_tables, sees complete tables.
#pragma once

#include <cstdint>

namespace vantrel {

inline constexpr int MASK_PAIRS = 1 << 16;
inline constexpr int STATUS_TABLE_SIZE = 10000;
inline constexpr int WINDOW_ROWS = 107;
inline constexpr int WINDOW_SIZES = 5;  // own counts 1..5

// Line types, for the stone at the centre of a nine-cell line.
inline constexpr int LINE_DEAD = 0;
inline constexpr int LINE_ONE = 1;
inline constexpr int LINE_OPEN_ONE = 2;
inline constexpr int LINE_TWO = 3;
inline constexpr int LINE_OPEN_TWO = 4;
inline constexpr int LINE_THREE = 5;
inline constexpr int LINE_OPEN_THREE = 6;
inline constexpr int LINE_FOUR = 7;
inline constexpr int LINE_OPEN_FOUR = 8;
inline constexpr int LINE_FIVE = 9;

// Statuses of a stone over its four lines (status 1 is never produced).
inline constexpr int STATUS_NONE = 0;
inline constexpr int STATUS_OPEN_TWO = 2;
inline constexpr int STATUS_OPEN_THREE = 3;
inline constexpr int STATUS_OPEN_THREE_PLUS = 4;
inline constexpr int STATUS_DOUBLE_THREE = 5;
inline constexpr int STATUS_FOUR = 6;
inline constexpr int STATUS_FOUR_PLUS = 7;
inline constexpr int STATUS_FOUR_THREE = 8;
inline constexpr int STATUS_OPEN_FOUR = 9;  // or two fours
inline constexpr int STATUS_FIVE = 10;

extern std::uint8_t LineTypeTable[MASK_PAIRS];
extern std::uint8_t StatusTable[STATUS_TABLE_SIZE];
extern std::int8_t EvalIndexTable[MASK_PAIRS];
extern std::int8_t WindowCounts[WINDOW_ROWS][WINDOW_SIZES];
extern std::int32_t EvalWeights[WINDOW_ROWS];
extern std::int16_t PrioritySource[MASK_PAIRS];
extern std::int32_t PriorityTable[MASK_PAIRS];
// A direction's share of a cell's ordering priority, the line's value for
// player 0 as own plus its value for player 1 as own, in one read: indexed
// like BothLineTypesTable by the direction's two masks as kept side by side
// (player 0's mask in the low byte). A fixed table, made from
// PrioritySource, of which PriorityTable is a copy.
extern std::uint8_t PairPriorityTable[MASK_PAIRS];
// Both players' line types of one direction in one read, indexed by the
// direction's masks as make keeps them side by side (player 0's mask in the
// low byte): player 0's type in the low byte, player 1's in the high byte.
// A fixed table, made from LineTypeTable.
extern std::uint16_t BothLineTypesTable[MASK_PAIRS];

// Four line types (any order) to a status 0..10.
int classify_status(int t0, int t1, int t2, int t3);

// The ordering priority of one player's line (a cell's priority sums them),
// from its line type and the numbers of its free windows holding two and
// three own stones. The rule games' tables use the same rule.
int priority_of_line(int type, int twos, int threes);
// The evaluation weight of the line through a stone, from the numbers of its
// free windows holding 1..5 own stones.
int window_weight(const int (&counts)[WINDOW_SIZES]);

// Fills StatusTable, EvalWeights and PriorityTable (and, the first time, the
// fixed tables). Writes the same values every time; call it only while no
// search is reading the tables.
void build_tables();

inline int pair_index(int own_mask, int opponent_mask) { return own_mask * 256 + opponent_mask; }

inline int status_index(int t0, int t1, int t2, int t3) { return 1000 * t0 + 100 * t1 + 10 * t2 + t3; }

}  // namespace vantrel
