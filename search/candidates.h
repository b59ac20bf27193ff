// Candidate moves and their ordering: the stored move of the position first,
// then every empty cell of the search rectangle near a stone with a useful
// pattern priority, cut down to the forced replies when a five or an open four
// is on the board.
#pragma once

#include <cstdint>

#include "board/engine_object.h"

namespace vantrel {

struct Candidate {
    std::int16_t x;  // engine coordinates
    std::int16_t y;
    std::int32_t priority;
};

inline constexpr int MAX_CANDIDATES = 256;

// A node's list, on the searching thread's stack. Never holds more than
// MAX_CANDIDATES entries; nothing is written past them.
struct CandidateList {
    Candidate entries[MAX_CANDIDATES];
    int count = 0;
};

// Ordering priority of the empty cell (x, y), engine coordinates, 0..121;
// the same for either side.
int cell_priority(const Engine& e, int x, int y);

// b.priority - a.priority: descending priority, equal priorities equal.
int compare_candidates(const Candidate& a, const Candidate& b);

// Fills the list for the side to move (unsorted). In renju black's fouls are
// left out, the forced reply too when it is one. The position is unchanged
// on return.
void generate_candidates(Engine& e, CandidateList& list);

// Sorts by compare_candidates, keeping list order among equal priorities.
void sort_candidates(CandidateList& list);

// The searches' fallback when the list comes out empty: every empty cell of
// the search rectangle next to a stone (near1 or near2), scan order, priority 0.
// In renju black's fouls are left out.
void list_near_cells(Engine& e, CandidateList& list);

}  // namespace vantrel
