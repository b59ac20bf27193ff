#include "support/random_positions.h"

#include <algorithm>

#include "board/pattern_tables.h"

namespace vantrel::testing {

std::uint64_t TestRng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int play_random_moves(Engine& e, TestRng& rng, int stones, int spread) {
    const int cx = e.board_width / 2, cy = e.board_height / 2;
    const int x0 = std::max(0, cx - spread), x1 = std::min(e.board_width - 1, cx + spread);
    const int y0 = std::max(0, cy - spread), y1 = std::min(e.board_height - 1, cy + spread);
    const int w = x1 - x0 + 1, h = y1 - y0 + 1;
    int played = 0;
    while (played < stones) {
        // Random probes first; a full sweep from a random start when they miss,
        // so a crowded square still yields its last free cells.
        bool placed = false;
        const int start = rng.below(w * h);
        for (int i = 0; i < w * h && !placed; ++i) {
            const int k = i < 8 ? rng.below(w * h) : (start + i) % (w * h);
            const int x = x0 + k % w, y = y0 + k / w;
            const Cell& c = e.cell(x + MARGIN, y + MARGIN);
            if (c.state != EMPTY || c.status[e.side] == STATUS_FIVE) continue;
            e.move(x, y);
            placed = true;
        }
        if (!placed) break;
        ++played;
    }
    return played;
}

}  // namespace vantrel::testing
