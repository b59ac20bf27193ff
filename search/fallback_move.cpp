// The fallback move: what the search would have tried first, or failing that
// the empty cell nearest the centre.
#include "search/fallback_move.h"

#include "board/renju_fouls.h"
#include "search/candidates.h"

namespace vantrel {

bool playable_empty(const Engine& e, int x, int y) {
    return x >= MARGIN && y >= MARGIN && x < e.board_width + MARGIN && y < e.board_height + MARGIN &&
           e.cells[x][y].state == EMPTY;
}

Point fallback_move(Engine& e) {
    CandidateList list;
    generate_candidates(e, list);
    sort_candidates(list);
    if (list.count == 0) list_near_cells(e, list);
    for (int i = 0; i < list.count; ++i) {
        const Candidate& c = list.entries[i];
        if (playable_empty(e, c.x, c.y)) return {static_cast<std::uint8_t>(c.x), static_cast<std::uint8_t>(c.y)};
    }

    // The centre as the opening move takes it: (width / 2, height / 2). A
    // black foul only when black has nothing else (a lost game).
    const int cx = e.board_width / 2 + MARGIN, cy = e.board_height / 2 + MARGIN;
    for (const bool fouls_too : {false, true}) {
        Point nearest;
        int nearest_distance = -1;
        for (int y = MARGIN; y < e.board_height + MARGIN; ++y)
            for (int x = MARGIN; x < e.board_width + MARGIN; ++x) {
                if (e.cells[x][y].state != EMPTY || (!fouls_too && !may_take(e, x, y))) continue;
                const int dx = x - cx, dy = y - cy;
                const int distance = dx * dx + dy * dy;
                if (nearest_distance < 0 || distance < nearest_distance) {
                    nearest_distance = distance;
                    nearest = {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
                }
            }
        if (nearest_distance >= 0) return nearest;
    }
    return Point{};
}

}  // namespace vantrel
