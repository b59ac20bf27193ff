// Interim turn: an empty cell next to the last stone, replaced by iterative
// deepening when the search lands.
#include "search/iterative_deepening.h"

#include <chrono>

namespace vantrel {

std::int64_t clock_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void clock_check(Engine& e) {
    if (clock_ms() >= e.deadline_ms) e.time_up = true;
}

BoardPoint iterative_deepening(Engine& e) {
    const int w = e.board_width, h = e.board_height;
    int cx = w / 2 + MARGIN, cy = h / 2 + MARGIN;
    if (e.move_count > 0) {
        cx = e.history[e.move_count - 1].x;
        cy = e.history[e.move_count - 1].y;
    }
    for (int r = 0; r < 2 * MAX_BOARD_SIZE; ++r)
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if (x >= MARGIN && y >= MARGIN && x < w + MARGIN && y < h + MARGIN && e.cell(x, y).state == EMPTY)
                    return {x - MARGIN, y - MARGIN};
    return {};
}

}  // namespace vantrel
