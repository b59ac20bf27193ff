// The static evaluation: a forced result from the outcome check as a win or
// loss score, otherwise a blend of the stone scores (the shape of the lines
// through every stone) and the status balance (what the empty cells offer).
#pragma once

#include <cstdint>

#include "board/engine_object.h"

namespace vantrel {

inline constexpr std::int32_t OwnStatusWeights[STATUS_COUNT] = {0, 0, 1, 5, 13, 20, 10, 15, 200, 200, 20000};
// When the opponent has a five point, the side to move's fours with threes and
// open fours are worth little: it must block first.
inline constexpr std::int32_t OwnStatusWeightsBlocking[STATUS_COUNT] = {0, 0, 1, 5, 13, 20, 10, 15, 20, 20, 20000};
inline constexpr std::int32_t OpponentStatusWeights[STATUS_COUNT] = {0, 0, 1, 5, 13, 20, 10, 15, 20, 20, 30};

inline constexpr int WIN_SCORE = 30000;
inline constexpr double STONE_SCORE_WEIGHT = 0.2;
inline constexpr double SIDE_TO_MOVE_BONUS = 20.0;

// Score for the side to move; the position is unchanged on return.
int evaluate(Engine& e);

// Weighted status counts of side minus those of other.
int status_balance(const Engine& e);

}  // namespace vantrel
