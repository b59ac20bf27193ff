// The geometry of the engine's board: how far a line's shape reaches, the
// frame of outside cells that reach asks for, the grid it gives, the players
// and the four line directions. Every other part of the engine derives its
// walks, masks and coordinate shifts from these numbers.
#pragma once

namespace vantrel {

// How far a line's shape is read each way from a cell: free-style's lines
// are nine cells, four each side of the cell; the rule games' are eleven, as
// exactly five is told from six only by the cell beyond (rule_tables.h).
inline constexpr int LINE_REACH = 4;
inline constexpr int RULE_REACH = 5;
// Engine coordinates are protocol coordinates plus MARGIN. The frame of
// outside cells equals the longest reach, so a walk of up to RULE_REACH steps
// from any playable cell stays inside the grid and nothing checks bounds.
inline constexpr int MARGIN = RULE_REACH;
inline constexpr int MIN_BOARD_SIZE = 5;
inline constexpr int MAX_BOARD_SIZE = 32;
inline constexpr int GRID_SIZE = MAX_BOARD_SIZE + 2 * MARGIN;  // 42

inline constexpr int DIRECTIONS = 4;
inline constexpr int PLAYERS = 2;

// Direction d = (DX[d], DY[d]): horizontal, vertical, diagonal, anti-diagonal.
inline constexpr int DX[DIRECTIONS] = {1, 0, 1, 1};
inline constexpr int DY[DIRECTIONS] = {0, 1, 1, -1};

}  // namespace vantrel
