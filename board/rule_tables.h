// The rule games' pattern tables: standard (only exactly five wins), renju
// (black: exactly five, and overlines, double fours and double threes are
// fouls; white: five or more) and caro (a five blocked at both ends by the
// opponent does not win; with or without overlines winning).
//
// Free-style reads a line four cells each way (pattern_tables.h). A rule
// game reads five: exactly five is told from six only by the cell beyond,
// and a caro five is blocked or not by the cells just past its ends. So a
// rule game's line around a cell is its two free-style masks plus a nibble
// for the four cells five steps away (`Engine::far_masks`), twenty bits in
// all, and every table below is indexed by that. The tables follow from the
// rule's definition of a five the way free-style's follow from five or more:
// a four has one completing point, an open four cannot be stopped by one
// stone, a line type below is two under the best that one more stone makes.
//
// Each rule's tables are generated once per process, on the first game that
// asks for the rule, and are constant afterwards; an engine holds a pointer
// to its rule's set.
#pragma once

#include <cstdint>

#include "board/board_geometry.h"

namespace vantrel {

// The rule games, as INFO rule selects them.
enum class Rule : std::uint8_t {
    FreeStyle,  // five or more wins
    Standard,   // exactly five wins, for both players
    Renju,      // black (the first player): exactly five, fouls; white: five or more
    Caro,       // an overline, or exactly five not blocked at both ends
    CaroExact,  // only exactly five not blocked at both ends
};
inline constexpr int RULE_GAMES = 5;

// INFO rule is a bitmask: 1 exactly five, 2 continuous game, 4 renju, 8 caro.
// 0 free-style; 1, 3 standard; 2, 4..7 renju (the analysis GUI sends 2 for
// renju); 8, 10 caro; 9, 11 caro with exactly five. Anything else: none.
bool rule_of_info(std::int32_t value, Rule& rule);
// The INFO rule value that names the rule (0, 1, 4, 8, 9).
std::int32_t info_of_rule(Rule rule);
// "free-style", "standard", "renju", "caro", "caro exactly five".
const char* rule_name(Rule rule);

// Black moves first in every game; in renju only black has fouls.
inline constexpr int BLACK = 0;
inline constexpr int WHITE = 1;

// Line types of the rule games beyond free-style's 0..9: black's lines in
// renju that make an overline, or two fours on the one line (two different
// fives that one more stone each would make). Both make the move a foul.
inline constexpr int LINE_OVERLINE = 10;
inline constexpr int LINE_DOUBLE_FOUR = 11;
inline constexpr int RULE_LINE_TYPES = 12;

// Status of a cell for black in renju whose move there is a foul for sure
// (an overline or two fours, and no five). Free-style never makes status 1.
inline constexpr int STATUS_FOUL = 1;

// Index of a rule game's line: player 0's free-style mask in the low byte,
// player 1's in the next, the far nibble above them. Far nibble bits: player
// 0's stone (or the outside) five cells back, five cells forward, then the
// same for player 1.
inline constexpr int RULE_LINE_BITS = 20;
inline constexpr int RULE_LINES = 1 << RULE_LINE_BITS;
inline constexpr unsigned FAR_BACK = 1;     // five steps back, player 0
inline constexpr unsigned FAR_FORWARD = 2;  // five steps forward, player 0
inline constexpr unsigned FAR_PLAYER_SHIFT = 2;
inline constexpr int FAR_SHIFT = 16;

// Status of four line types 0..11 by base 16: four lanes of 4 bits.
inline constexpr int RULE_STATUS_INDEXES = 1 << 16;
inline int rule_status_index(int t0, int t1, int t2, int t3) { return t0 << 12 | t1 << 8 | t2 << 4 | t3; }

struct RuleTables {
    Rule rule;
    // Player 0's line type in the low byte, player 1's in the high byte.
    std::uint16_t both_types[RULE_LINES];
    // A direction's share of a cell's ordering priority, both players'.
    std::uint8_t pair_priority[RULE_LINES];
    // Evaluation weight of the line through a stone of player p.
    std::int8_t stone_weight[PLAYERS][RULE_LINES];
    // Status of a cell for player p from its four line types.
    std::uint8_t status[PLAYERS][RULE_STATUS_INDEXES];
};

// The rule's tables, generated on the first call for that rule (safe from
// any thread); null for free-style, which keeps its own tables.
const RuleTables* rule_tables(Rule rule);

}  // namespace vantrel
