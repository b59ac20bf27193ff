// Test helper: sets up engine positions through the engine's own reset and
// move operations, from a list of moves or from an ASCII picture of the board.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "board/engine_object.h"

namespace vantrel::testing {

// A fresh engine on the heap (it is about 30 MB), reset to width x height.
std::unique_ptr<Engine> new_engine(int width, int height);
inline std::unique_ptr<Engine> new_engine(int size) { return new_engine(size, size); }

// Plays the moves in order, protocol coordinates; player 0 moves first.
std::unique_ptr<Engine> engine_from_moves(int size, const std::vector<std::pair<int, int>>& moves);

// A picture is one string per row, top row y = 0; its width is the length of
// the rows. 'X' is player 0 (who moved first), 'O' player 1, '.' or '+' empty;
// spaces are ignored. The stones are placed through move(), alternating X and
// O in scan order, so the counts must be equal (X to move) or X one ahead (O
// to move).
std::unique_ptr<Engine> engine_from_picture(const std::vector<std::string>& rows);

// The board as a picture in the same notation, for failure messages.
std::string picture_of(const Engine& e);

}  // namespace vantrel::testing
