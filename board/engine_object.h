// The engine object: the board as a grid of cells that carry incrementally
// kept pattern information, the counters over it, the move history, the hash
// store with both transposition tables and the principal-variation table.
// Everything the thinking needs lives inside this one object (about 30 MB,
// almost all of it the two tables), so it is created on the heap once per game
// and nothing is allocated afterwards. The searches read its fields directly
// and change the board only through make and undo (make_unmake.cpp).
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

#include "board/board_geometry.h"
#include "board/hash_store.h"
#include "board/rule_tables.h"

namespace vantrel {

inline constexpr int HISTORY_SIZE = 1024;
inline constexpr int MAX_PLY = 64;  // rows of the principal-variation table
inline constexpr int STATUS_COUNT = 11;  // statuses 0..10

// Cell states. A stone is its owner's number, 0 or 1.
inline constexpr int EMPTY = 2;
inline constexpr int OUTSIDE = 3;

// One square of the grid. Bit layout of line_mask[d][p], bit 0 first: the
// cells 4, 3, 2, 1 steps back along d, then 1, 2, 3, 4 steps forward (the
// free-style reach, LINE_REACH). A bit is
// set for a stone of p or an outside cell, so a bit set in both players' masks
// means outside.
//
// Invariants between make and undo: line_mask is exact for every playable
// cell, occupied or not (the evaluation reads the masks of stones);
// line_type and status are exact for empty playable cells only, and an
// occupied cell keeps the values it had just before its stone was placed;
// near1 and near2 are exact for every playable cell.
struct Cell {
    std::int32_t state;
    std::uint8_t line_mask[DIRECTIONS][PLAYERS];
    std::uint8_t line_type[DIRECTIONS][PLAYERS];
    std::uint8_t status[PLAYERS];
    std::uint8_t near1;  // stones on the eight adjacent cells
    std::uint8_t near2;  // stones two steps away along the four lines
};

// One empty cell whose line types a make changed, as it was before: undo
// puts these values back instead of looking the line types up again.
struct TypeChange {
    std::uint64_t types;  // the cell's eight line types, byte 2d + p
    std::uint16_t cell;   // index of the cell in the grid, x * GRID_SIZE + y
    std::uint8_t status[PLAYERS];
};

// At most the cells that share a line window with the stone: 32 in free-style,
// 40 in the rule games.
inline constexpr int MAX_TYPE_CHANGES_PER_MOVE = 2 * DIRECTIONS * RULE_REACH;
// Each of those cells flips its bit of four_rows at most once per player.
inline constexpr int MAX_FOUR_FLIPS_PER_MOVE = 2 * MAX_TYPE_CHANGES_PER_MOVE;

// The search rectangle, inclusive, in engine coordinates: the cells that
// candidate generation and the threat search scan.
struct Area {
    std::uint8_t x_min = 0, y_min = 0;  // low corner
    std::uint8_t x_max = 0, y_max = 0;  // high corner
};

// Triangular principal-variation table: row p holds the best line from ply p
// in its entries p .. pv_length[p] - 1, each a packed move (x in the low 16
// bits, y in the high 16 bits, engine coordinates).
struct PvTable {
    std::int32_t pv[MAX_PLY][MAX_PLY];
    std::int32_t pv_length[MAX_PLY];
};

// Protocol coordinates of a move handed back to the front end.
struct BoardPoint {
    int x = -1, y = -1;
};

// Final: the operation table has exactly the six slots below, in this order.
class Engine final {
public:
    // With transposition tables of its own, of the default size.
    Engine();
    // With the caller's tables, which must outlive the engine.
    explicit Engine(HashTables& tables);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Slot 0: a new game on an empty n x n board, 5 <= n <= 32.
    virtual void reset(int n);
    // Slot 1: a stone for `side` at protocol (x, y), an empty playable cell.
    virtual void move(int x, int y);
    // Slot 2: fixed-depth search; plays the chosen move and returns it.
    virtual void think(int& x, int& y, int depth);
    // Slot 3: does nothing.
    virtual void idle();
    // Slot 4: takes back the last stone; move_count must be above 0.
    virtual void undo();
    // Slot 5: the engine's fixed name.
    virtual const char* name() const;

    // A new game on an empty width x height board, each side 5..32; cells
    // beyond either side are outside. reset(n) is reset_rectangle(n, n).
    // The game keeps the engine's rule.
    void reset_rectangle(int width, int height);

    // Plays the game from here on by `rule`: the stones on the board are
    // judged anew by it (and both transposition tables emptied).
    void set_rule(Rule rule);

    // Places a stone of `side` on the empty playable cell (x, y), engine
    // coordinates, keeping every derived quantity exact.
    void make(int x, int y);

    Cell& cell(int x, int y) { return cells[x][y]; }
    const Cell& cell(int x, int y) const { return cells[x][y]; }

    // Fields, in the order of the design; the searches use them directly.
    std::int32_t threat_budget = 0;
    Cell cells[GRID_SIZE][GRID_SIZE];  // indexed [x][y]
    std::int32_t board_width = 0;      // sides of the playing area, 5..32
    std::int32_t board_height = 0;
    std::int32_t move_count = 0;
    std::int32_t side = 0;   // player to move
    std::int32_t other = 1;  // 1 - side, kept alongside it
    // For status v = 1..10, the number of empty playable cells whose status
    // for that player is v. Entry 0 carries no meaning.
    std::int32_t status_count[PLAYERS][STATUS_COUNT];
    Point history[HISTORY_SIZE];
    Point area_lo_saved[HISTORY_SIZE];  // area before move i, low corner
    Point area_hi_saved[HISTORY_SIZE];  // and high corner
    Area area;
    HashStore hash;
    std::int32_t node_count = 0;  // make calls since the search began
    // Zeroed at construction: the searches read pv_length of the row below
    // before any search has written it.
    PvTable pv_table{};
    bool follow_pv = false;
    bool time_up = false;
    std::int32_t ply = 0;
    std::int32_t turn_time_ms = 0;
    std::int32_t max_depth = 0;
    std::int64_t deadline_ms = 0;
    // node_count when the clock was last read: the searches read it again
    // once at least CLOCK_CADENCE moves have been made since.
    std::int32_t clock_checked_at = 0;
    // The cells whose line types each move changed, as they were: the
    // changes of move i are the type_change_count[i] entries that end at
    // type_change_top once moves i + 1 and later are taken back.
    std::int32_t type_change_top = 0;
    std::uint8_t type_change_count[HISTORY_SIZE];
    TypeChange type_changes[HISTORY_SIZE * MAX_TYPE_CHANGES_PER_MOVE];
    // status_count as it was before move i: undo copies it back rather than
    // following every changed status back one count at a time.
    std::int32_t status_count_saved[HISTORY_SIZE][PLAYERS][STATUS_COUNT];
    // For player p and row y, bit x is set exactly when the cell (x, y) is
    // empty and playable and its status for p is a four or more (6..10): the
    // status scans of the threat search read the rows for those cells
    // instead of every cell of the rectangle. The bits a move flipped are
    // noted like its type changes, so that undo flips them back.
    std::uint64_t four_rows[PLAYERS][GRID_SIZE];
    static_assert(GRID_SIZE <= 64, "a row of four_rows is one 64-bit word");
    std::int32_t four_flip_top = 0;
    // Bit x of row y is set exactly when the cell (x, y) holds a stone: the
    // scans of the search rectangle find the cells near a stone by shifting
    // the rows around a row instead of reading every cell's near counts.
    std::uint64_t stone_rows[GRID_SIZE];
    std::uint8_t four_flip_count[HISTORY_SIZE];
    std::uint16_t four_flips[HISTORY_SIZE * MAX_FOUR_FLIPS_PER_MOVE];

    // What else ends a search besides its deadline, set by its caller: the
    // moves it may make, checked at every node so that it stops at the same
    // node on every run; a stop request that another thread may set, read
    // with the clock; and the clock itself, milliseconds on a monotonic clock
    // (null: the steady clock).
    std::int32_t node_limit = std::numeric_limits<std::int32_t>::max();
    const std::atomic<bool>* stop_request = nullptr;

    // The rule of the game, and its tables (null for free-style, which reads
    // the free-style tables of pattern_tables.h). Set by set_rule only.
    Rule rule = Rule::FreeStyle;
    const RuleTables* rules = nullptr;
    // The rule games' line reaches one cell further than the masks: for grid
    // index i (x * GRID_SIZE + y) and direction d, the stones (or outside)
    // five cells back and forward, both players, as rule_tables.h lays them
    // out. Kept by make and undo in rule games only; the outside shows for
    // both players, as in the masks.
    std::uint8_t far_masks[GRID_SIZE * GRID_SIZE][DIRECTIONS];
    std::int64_t (*clock)() = nullptr;

private:
    // Free-style reads its own tables; a rule game (RULES) its rule's,
    // through lines one cell longer.
    template <bool RULES>
    void make_on(int x, int y);
    template <bool RULES>
    void undo_on();
    template <bool RULES>
    int relookup(Cell& c, int index, int d, unsigned line, TypeChange* log);
    void flip_four(int index, int player);
};

}  // namespace vantrel
