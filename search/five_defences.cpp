// Caro's replies to five points (see five_defences.h): each five point, and
// the empty cell just past each end of the five it makes, tried on the board.
#include "search/five_defences.h"

#include <utility>

#include "board/pattern_tables.h"
#include "search/area_scan.h"

namespace vantrel {
namespace {

void add_once(Point (&out)[MAX_FIVE_DEFENCES], int& n, int x, int y) {
    for (int i = 0; i < n; ++i)
        if (out[i].x == x && out[i].y == y) return;
    if (n < MAX_FIVE_DEFENCES) out[n++] = Point{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
}

// The cell past the end of the attacker's run from (x, y) along (dx, dy),
// when it is empty.
void add_past_run(const Engine& e, int attacker, int x, int y, int dx, int dy, Point (&out)[MAX_FIVE_DEFENCES],
                  int& n) {
    do {
        x += dx;
        y += dy;
    } while (e.cells[x][y].state == attacker);
    if (e.cells[x][y].state == EMPTY) add_once(out, n, x, y);
}

}  // namespace

int caro_five_defences(Engine& e, Point (&out)[MAX_FIVE_DEFENCES]) {
    const int attacker = e.other;
    Point tried[MAX_FIVE_DEFENCES];
    int candidates = 0;
    scan_status(e, attacker, STATUS_FIVE, STATUS_FIVE, [&](int x, int y) {
        add_once(tried, candidates, x, y);
        for (int d = 0; d < DIRECTIONS; ++d) {
            if (e.cells[x][y].line_type[d][attacker] != LINE_FIVE) continue;
            add_past_run(e, attacker, x, y, DX[d], DY[d], tried, candidates);
            add_past_run(e, attacker, x, y, -DX[d], -DY[d], tried, candidates);
        }
        return false;
    });
    int n = 0;
    for (int i = 0; i < candidates; ++i) {
        e.make(tried[i].x, tried[i].y);
        const bool stopped = e.status_count[attacker][STATUS_FIVE] == 0;
        e.undo();
        if (stopped) out[n++] = tried[i];
    }
    // Scan order, as every list of the searches.
    for (int i = 1; i < n; ++i)
        for (int j = i; j > 0 && (out[j].y < out[j - 1].y || (out[j].y == out[j - 1].y && out[j].x < out[j - 1].x));
             --j)
            std::swap(out[j], out[j - 1]);
    return n;
}

}  // namespace vantrel
