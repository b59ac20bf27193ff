// Candidate moves and their ordering. The list is built in one pass over the
// search rectangle, then cut down to the forced replies when a five point or
// an open-four point is on the board. Lists never exceed MAX_CANDIDATES
// entries: on a crowded board the lowest priorities give way, so the list
// holds what a sort-and-truncate of the full list would keep, in scan order.
#include "search/candidates.h"

#include <bit>
#include <cassert>
#include <cstring>

#include "board/pattern_tables.h"
#include "board/renju_fouls.h"
#include "search/area_scan.h"
#include "search/five_defences.h"

namespace vantrel {

namespace {

// Priority of the move that the search table remembers for this position;
// above every cell priority (at most 8 x 15 + 1).
inline constexpr int STORED_MOVE_PRIORITY = 10000;
// Scanned cells below this are not worth a search (a stone nearby, no shape).
inline constexpr int MIN_SCANNED_PRIORITY = 2;
// In the reply to an opponent's open four, every cell that makes or stops a
// four is kept (such a cell always scores at least 15).
inline constexpr int MIN_FOUR_REPLY_PRIORITY = 1;

inline bool playable(const Engine& e, int x, int y) {
    return x >= MARGIN && x < MARGIN + e.board_width && y >= MARGIN && y < MARGIN + e.board_height;
}

// Appends a candidate, keeping the list within its size. When the list is
// full the newcomer replaces the latest-listed entry of the lowest priority,
// if it beats that priority; a tie goes to the entry listed first. Returns
// false when something was dropped.
bool add_bounded(CandidateList& list, int x, int y, int priority) {
    const Candidate candidate{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), priority};
    if (list.count < MAX_CANDIDATES) {
        list.entries[list.count++] = candidate;
        return true;
    }
    int lowest = 0;
    for (int i = 1; i < MAX_CANDIDATES; ++i)
        if (list.entries[i].priority <= list.entries[lowest].priority) lowest = i;
    if (priority > list.entries[lowest].priority) {
        for (int i = lowest; i < MAX_CANDIDATES - 1; ++i) list.entries[i] = list.entries[i + 1];
        list.entries[MAX_CANDIDATES - 1] = candidate;
    }
    return false;
}

// A cell's priority without its point for an adjacent stone: each
// direction's two masks, player 0's in the low byte, are the index of that
// direction's share; a rule game adds the cell's far nibble to the index
// and reads its rule's table.
struct FreeLinePriority {
    explicit FreeLinePriority(const Engine&) {}
    int operator()(const Cell& c, int) const {
        static_assert(std::endian::native == std::endian::little);
        std::uint16_t masks[DIRECTIONS];
        std::memcpy(masks, c.line_mask, sizeof masks);
        return PairPriorityTable[masks[0]] + PairPriorityTable[masks[1]] + PairPriorityTable[masks[2]] +
               PairPriorityTable[masks[3]];
    }
};

struct RuleLinePriority {
    explicit RuleLinePriority(const Engine& e) : table(e.rules->pair_priority), far(e.far_masks) {}
    // `index`: the cell's grid index, x * GRID_SIZE + y.
    int operator()(const Cell& c, int index) const {
        std::uint16_t masks[DIRECTIONS];
        std::memcpy(masks, c.line_mask, sizeof masks);
        int sum = 0;
        for (int d = 0; d < DIRECTIONS; ++d) sum += table[masks[d] | unsigned{far[index][d]} << FAR_SHIFT];
        return sum;
    }
    const std::uint8_t* table;
    const std::uint8_t (*far)[DIRECTIONS];
};

int line_priority(const Engine& e, int x, int y) {
    const Cell& c = e.cells[x][y];
    return e.rules ? RuleLinePriority(e)(c, x * GRID_SIZE + y) : FreeLinePriority(e)(c, 0);
}

// Priorities below this are sorted by counting; a cell's is at most 121.
inline constexpr int PRIORITY_BUCKETS = 128;
// Lists up to this long are sorted by insertion, which costs less here than
// clearing and summing the buckets.
inline constexpr int SHORT_LIST = 16;

// Insertion sort: stable (an entry goes behind every entry that does not
// rank below it), in place. Shifting entry by entry while walking back costs
// less on short runs than a binary search and a block move.
void insertion_sort(Candidate* entries, int count) {
    for (int i = 1; i < count; ++i) {
        const Candidate moving = entries[i];
        int j = i;
        for (; j > 0 && compare_candidates(entries[j - 1], moving) > 0; --j) entries[j] = entries[j - 1];
        entries[j] = moving;
    }
}

// The forced reply of a player's five or open-four point: the first entry in
// list order whose cell has that status. A full list may have dropped the
// cell that comes first (a crowded board with many stronger cells), so then
// the rectangle is searched in scan order, after the stored move, instead.
// Exact status counts guarantee a find; were there none, the list stands.
void cut_to_forced(const Engine& e, CandidateList& list, int player, int status, bool complete, bool stored) {
    if (complete || stored) {
        const int limit = complete ? list.count : 1;
        for (int i = 0; i < limit; ++i) {
            const Candidate& c = list.entries[i];
            if (e.cells[c.x][c.y].status[player] == status) {
                list.entries[0] = c;
                list.count = 1;
                return;
            }
        }
        if (complete) return;
    }
    for (int y = e.area.y_min; y <= e.area.y_max; ++y) {
        for (int x = e.area.x_min; x <= e.area.x_max; ++x) {
            const Cell& c = e.cells[x][y];
            if (near_empty(c) && c.status[player] == status) {
                list.entries[0] =
                    Candidate{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), cell_priority(e, x, y)};
                list.count = 1;
                return;
            }
        }
    }
}

// Caro's replies to the opponent's five points, in place of the list.
void cut_to_caro_defences(Engine& e, CandidateList& list) {
    Point defences[MAX_FIVE_DEFENCES];
    const int n = caro_five_defences(e, defences);
    list.count = 0;
    for (int i = 0; i < n; ++i)
        list.entries[list.count++] = Candidate{defences[i].x, defences[i].y, cell_priority(e, defences[i].x, defences[i].y)};
    if (list.count == 0) list.entries[0].x = -1;
}

// Black's fouls in renju leave the list, whatever put them there.
void drop_fouls(Engine& e, CandidateList& list) {
    int kept = 0;
    for (int i = 0; i < list.count; ++i)
        if (may_take(e, list.entries[i].x, list.entries[i].y)) list.entries[kept++] = list.entries[i];
    list.count = kept;
    if (list.count == 0) list.entries[0].x = -1;
}

template <class LinePriority>
void scan_area(const Engine& e, CandidateList& list, bool stored, int stored_x, int stored_y, bool& complete) {
    const LinePriority line_priority(e);
    // Scan order, over the near, empty cells only, as the stone rows give
    // them.
    const std::uint64_t columns = area_columns(e.area);
    for (int y = e.area.y_min; y <= e.area.y_max; ++y) {
        std::uint64_t adjacent = 0;
        std::uint64_t row = near_empty_row(e, y, columns, adjacent);
        if (stored && y == stored_y) row &= ~(1ULL << stored_x);
        for (; row != 0; row &= row - 1) {
            const int x = std::countr_zero(row);
            const Cell& c = e.cells[x][y];
            assert(near_empty(c) && ((adjacent >> x) & 1) == (c.near1 != 0));
            const int priority = static_cast<int>((adjacent >> x) & 1) + line_priority(c, x * GRID_SIZE + y);
            // Below a full list the entry is written whatever its priority
            // and kept by the count, with no branch on the tables' answer.
            if (list.count < MAX_CANDIDATES) {
                list.entries[list.count] =
                    Candidate{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), priority};
                list.count += priority >= MIN_SCANNED_PRIORITY;
            } else if (priority >= MIN_SCANNED_PRIORITY) {
                complete &= add_bounded(list, x, y, priority);
            }
        }
    }
}

}  // namespace

int cell_priority(const Engine& e, int x, int y) {
    return (e.cells[x][y].near1 != 0 ? 1 : 0) + line_priority(e, x, y);
}

int compare_candidates(const Candidate& a, const Candidate& b) { return b.priority - a.priority; }

void generate_candidates(Engine& e, CandidateList& list) {
    list.entries[0].x = -1;
    list.count = 0;

    // A false match of both check words could point the stored move at a
    // stone or off the board; such a move must never reach make.
    int stored_x = 0, stored_y = 0;
    const bool stored = e.hash.stored_move(stored_x, stored_y) && playable(e, stored_x, stored_y) &&
                        e.cells[stored_x][stored_y].state == EMPTY;
    if (stored) {
        list.entries[0] =
            Candidate{static_cast<std::int16_t>(stored_x), static_cast<std::int16_t>(stored_y), STORED_MOVE_PRIORITY};
        list.count = 1;
    }

    bool complete = true;
    if (e.rules)
        scan_area<RuleLinePriority>(e, list, stored, stored_x, stored_y, complete);
    else
        scan_area<FreeLinePriority>(e, list, stored, stored_x, stored_y, complete);
    // An empty list keeps its first entry marked as none.
    if (list.count == 0) list.entries[0].x = -1;

    const std::int32_t* own = e.status_count[e.side];
    const std::int32_t* opp = e.status_count[e.other];
    if (own[STATUS_FIVE] > 0) {
        cut_to_forced(e, list, e.side, STATUS_FIVE, complete, stored);
    } else if (opp[STATUS_FIVE] > 0) {
        if (caro_rule(e))
            cut_to_caro_defences(e, list);
        else
            cut_to_forced(e, list, e.other, STATUS_FIVE, complete, stored);
    } else if (own[STATUS_OPEN_FOUR] > 0) {
        cut_to_forced(e, list, e.side, STATUS_OPEN_FOUR, complete, stored);
    } else if (opp[STATUS_OPEN_FOUR] > 0) {
        // Only moves that make a four or stop one can answer an open four;
        // the stored move earns no place of its own here.
        list.count = 0;
        for (int y = e.area.y_min; y <= e.area.y_max; ++y) {
            for (int x = e.area.x_min; x <= e.area.x_max; ++x) {
                const Cell& c = e.cells[x][y];
                if (!near_empty(c)) continue;
                if (c.status[e.side] < STATUS_FOUR && c.status[e.other] < STATUS_FOUR) continue;
                const int priority = cell_priority(e, x, y);
                if (priority >= MIN_FOUR_REPLY_PRIORITY) add_bounded(list, x, y, priority);
            }
        }
    }
    if (black_fouls_apply(e)) drop_fouls(e, list);
}

void sort_candidates(CandidateList& list) {
    const int n = list.count;
    Candidate* const entries = list.entries;
    if (n <= SHORT_LIST) {
        insertion_sort(entries, n);
        return;
    }
    // A stable counting sort over the cell priorities; the few entries above
    // them (the stored move, the previous line's move) go first, in the order
    // an insertion sort gives them.
    std::uint16_t start[PRIORITY_BUCKETS] = {};
    int raised = 0;
    for (int i = 0; i < n; ++i) {
        const int priority = entries[i].priority;
        if (priority < 0) {  // no cell has one: the list is sorted as it is
            insertion_sort(entries, n);
            return;
        }
        if (priority < PRIORITY_BUCKETS)
            ++start[priority];
        else
            ++raised;
    }
    int at = raised;
    for (int b = PRIORITY_BUCKETS - 1; b >= 0; --b) {
        const int size = start[b];
        start[b] = static_cast<std::uint16_t>(at);
        at += size;
    }
    Candidate sorted[MAX_CANDIDATES];
    int next_raised = 0;
    for (int i = 0; i < n; ++i) {
        const Candidate& c = entries[i];
        if (c.priority < PRIORITY_BUCKETS)
            sorted[start[c.priority]++] = c;
        else
            sorted[next_raised++] = c;
    }
    insertion_sort(sorted, raised);
    std::memcpy(entries, sorted, n * sizeof(Candidate));
}

void list_near_cells(Engine& e, CandidateList& list) {
    list.count = 0;
    for (int y = e.area.y_min; y <= e.area.y_max; ++y) {
        for (int x = e.area.x_min; x <= e.area.x_max; ++x) {
            const Cell& c = e.cells[x][y];
            if (!near_empty(c) || !may_take(e, x, y)) continue;
            list.entries[list.count++] = Candidate{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0};
            if (list.count == MAX_CANDIDATES) return;
        }
    }
}

}  // namespace vantrel
