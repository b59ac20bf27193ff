// Test helper: reproducible pseudo-random positions, played through the
// engine's own move operation, for tests that check a property over many
// positions rather than one hand-made picture.
#pragma once

#include <cstdint>

#include "board/engine_object.h"

namespace vantrel::testing {

// splitmix64: the same sequence on every platform (unlike the library's
// distributions), so a failing position can be replayed from its seed.
class TestRng {
public:
    explicit TestRng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

// Plays up to `stones` moves on e, alternating sides as the engine does, each
// on a random empty cell no more than `spread` cells from the board's centre
// in either direction. A cell where the mover would make five is never taken,
// so no five stands on the board, though five points may. Returns the number
// of moves played (fewer when the square fills up).
int play_random_moves(Engine& e, TestRng& rng, int stones, int spread);

}  // namespace vantrel::testing
