// The principal-variation search: negamax alpha-beta with a null window after
// the first move, backed by the search table, the threat search near the root
// and the outcome check below it; keeps the best line in the PV table. The
// root may leave moves out and report each root move it searches, for the
// searches of several lines and the GUI's blocked points.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "board/engine_object.h"
#include "search/candidates.h"

namespace vantrel {

inline constexpr int THREAT_SEARCH_PLIES = 6;  // plies that ask the threat search
inline constexpr int ROOT_WINDOW = 32000;
// What a root search answers when it had no move to search (every candidate
// left out): below every score of the root window.
inline constexpr int NO_ROOT_MOVE = -ROOT_WINDOW - 1;

// A move as the PV table holds it: x in the low 16 bits, y in the high 16.
inline std::int32_t pv_move(int x, int y) { return static_cast<std::int32_t>(x | (y << 16)); }
inline int pv_move_x(std::int32_t m) { return static_cast<std::int16_t>(m & 0xFFFF); }
inline int pv_move_y(std::int32_t m) { return static_cast<std::int16_t>(m >> 16); }

// Called with each root move before it is searched (searched false) and
// after its search has finished (true).
using RootMoveHook = std::function<void(Point move, bool searched)>;

// What the root leaves out and whom it tells. With moves left out the root
// neither reads nor writes its own search-table entry (that entry stands for
// the root with every move), and even a single candidate left is searched.
struct RootFilter {
    std::span<const Point> excluded;  // engine coordinates
    const RootMoveHook* on_move = nullptr;
};

int pv_search(Engine& e, int depth, bool root, int alpha, int beta);

// The root of pv_search under a filter; pv_search with root set is this with
// an empty filter. NO_ROOT_MOVE when every candidate was left out.
int pv_search_root(Engine& e, int depth, int alpha, int beta, const RootFilter& filter);

// Records (x, y) as the best move at the current ply, followed by the line
// the last child left in the row below.
void pv_record(Engine& e, int x, int y);

// While the search still follows the previous iteration's line: gives that
// line's move for this ply the priority, so that it is searched first, or
// stops following when the move is not among the candidates.
void follow_previous_line(Engine& e, CandidateList& list, int priority);

}  // namespace vantrel
