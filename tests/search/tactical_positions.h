// Hand-built positions shared by the search tests, as pictures for
// engine_from_picture ('X' moved first; protocol coordinates, x across).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vantrel::testing {

// Pictures keep one row per line.
// clang-format off

using Picture = std::vector<std::string>;
using Move = std::pair<int, int>;

// X to move wins by three fours, every one answered by O's only block:
//   (10,10) four on row 10, O blocks (11,10);
//   (10,9)  four on column 10, O blocks (10,11);
//   (11,9)  four on row 9 and four on the diagonal through (10,10): O can
//           stop only one, X makes five on ply 7.
// Blockers keep X from anything quicker: no open three can be made, no
// double three, and O's closed three at the bottom gives O a four of its own,
// so a slower attack by threes would lose the initiative.
inline const Picture FOURS_WIN = {
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
    "..........O...O.....",
    "..........XO.X......",
    ".........OX.X.......",
    "............XXO.....",
    "......OXXX...O......",
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
    "..............XOOO..",
    "....................",
    "....................",
    "....................",
};
// The line above: X's four, then O's only reply.
inline const std::vector<std::pair<Move, Move>> FOURS_WIN_LINE = {{{10, 10}, {11, 10}}, {{10, 9}, {10, 11}}};
inline const Move FOURS_WIN_DOUBLE_FOUR = {11, 9};

// X to move has a closed four on row 7: its five point is (7,7).
inline const Picture OWN_FIVE_POINT = {
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    "........O......",
    ".........O.....",
    "..OXXXX........",
    "...............",
    "...............",
    "........O......",
    "...............",
    "...............",
    "...............",
    "...............",
};
inline const Move OWN_FIVE = {7, 7};

// X to move, O has a closed four on row 3 with the single five point (7,3);
// X has nothing forcing.
inline const Picture OPPONENT_FIVE_POINT = {
    "...............",
    "...............",
    "...............",
    "..XOOOO........",
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    "..........X....",
    "...............",
    ".....X.........",
    "...............",
    "............X..",
    "...............",
};
inline const Move OPPONENT_FIVE = {7, 3};

// X to move has an open three on row 7, (5,7) (6,7) (7,7); O has nothing that
// makes a four. Either end makes an open four, a win.
inline const Picture OWN_OPEN_THREE = {
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    "......O........",
    "...............",
    ".....XXX.......",
    "...............",
    ".........O.....",
    "...............",
    "...............",
    "...............",
    "...O...........",
    "...............",
};

// As OWN_OPEN_THREE, but O has a closed four on row 1 (five point (9,1)): X
// must block before anything else.
inline const Picture OPEN_THREE_AGAINST_FOUR = {
    "...............",
    "....XOOOO......",
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    ".....XXX.......",
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
};
inline const Move OPEN_THREE_AGAINST_FOUR_BLOCK = {9, 1};

// A quiet early middle game, X to move.
inline const Picture QUIET_MIDDLE_GAME = {
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    ".......O.......",
    "......XX.......",
    "......OXO......",
    ".....X..O......",
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
    "...............",
};

// clang-format on

}  // namespace vantrel::testing
