// The hash store: the three position-hash words and the two transposition
// tables they index. The tables (HashTables) belong to whoever made the
// engine: the front end keeps one pair for the whole session, sized from the
// INFO settings, and hands it to each new engine; an engine made without one
// owns a pair of the default size. make and undo keep the words exact
// through add_stone and remove_stone (keys are added, not xor-ed, so the same
// stones give the same words in any order); the index word is the full sum,
// masked to a table's size at each access. The probe and store operations of
// the tables are defined beside the searches that use them
// (search/transposition_tables.cpp).
#pragma once

#include <cstdint>
#include <memory>

#include "board/board_geometry.h"
#include "board/hash_table.h"
#include "board/zobrist.h"

namespace vantrel {

// A cell in engine coordinates. Stored as one 16-bit word, x is the low byte
// and y the high byte. Engine coordinates start at MARGIN, so x = 0 means no
// move.
struct Point {
    std::uint8_t x = 0;
    std::uint8_t y = 0;
};
static_assert(sizeof(Point) == 2);

// The default size of both tables, entries: the design's.
inline constexpr int SEARCH_TABLE_BITS = 18;
inline constexpr int SEARCH_TABLE_SIZE = 1 << SEARCH_TABLE_BITS;
inline constexpr std::uint32_t HASH_INDEX_MASK = SEARCH_TABLE_SIZE - 1;
// Sizes the session's tables may take: both tables have 2^bits entries, at
// most a gigabyte together.
inline constexpr int MIN_TABLE_BITS = 10;
inline constexpr int MAX_TABLE_BITS = 25;

// Bound kinds of a SearchEntry's flags byte; an entry has a bound when any of
// these bits is set.
inline constexpr std::uint8_t BOUND_UPPER = 4;
inline constexpr std::uint8_t BOUND_LOWER = 8;
inline constexpr std::uint8_t BOUND_EXACT = 16;
inline constexpr std::uint8_t BOUND_ANY = BOUND_UPPER | BOUND_LOWER | BOUND_EXACT;

// Special results of search_probe, outside every score.
inline constexpr int PROBE_MISS = -200001;
inline constexpr int PROBE_MOVE_ONLY = 250000;

// SearchEntry, 20 bytes:
//   offset  0  check1     u32  hash_check1 of the stored position
//   offset  4  check2     u32  hash_check2 of the stored position
//   offset  8  value      i16  score for the side to move there
//   offset 10  depth      i16  remaining depth of the search that stored it
//   offset 12  stones     u16  move_count at a fixed-depth store; never read
//   offset 14  best_move  Point
//   offset 16  flags      u8   BOUND_* or 0
//   offset 17  padding to the 4-byte alignment of the check words
struct SearchEntry {
    std::uint32_t check1;
    std::uint32_t check2;
    std::int16_t value;
    std::int16_t depth;
    std::uint16_t stones;
    Point best_move;
    std::uint8_t flags;
};
static_assert(sizeof(SearchEntry) == 20);

// ThreatEntry, 12 bytes:
//   offset 0  check1     u32  hash_check1 of the stored position
//   offset 4  check2     u32  hash_check2 of the stored position
//   offset 8  value      i8   outcome for the side to move there
//   offset 9  best_move  Point, (0, 0) when no single move decided it
//   offset 11 padding
struct ThreatEntry {
    std::uint32_t check1;
    std::uint32_t check2;
    std::int8_t value;
    Point best_move;
};
static_assert(sizeof(ThreatEntry) == 12);

// Bytes of one slot of each table together: what a table size costs.
inline constexpr std::size_t TABLE_PAIR_BYTES = sizeof(SearchEntry) + sizeof(ThreatEntry);

// Both tables, always of equal length, and what they hold.
struct HashTables {
    explicit HashTables(int bits = SEARCH_TABLE_BITS) : search(bits), threat(bits) {}
    // Both tables at 2^bits entries, emptied; false when memory runs out
    // (both are then back at their old size, emptied).
    bool resize(int bits);
    int bits() const { return search.bits(); }

    HashTable<SearchEntry> search;
    HashTable<ThreatEntry> threat;
    // The tables change only through the store operations, and through
    // clear and clear_bounds. While no store has run since the last clear,
    // both tables are still empty and clear has nothing to do; while no
    // search_store has run since the last clear_bounds, no entry has a bound.
    // A new store sets them; they start set, as the tables start unemptied.
    bool stored_since_clear = true;
    bool bounds_since_clear = true;
};

// The most table bits whose pair of tables fits in `bytes`, within
// MIN_TABLE_BITS .. MAX_TABLE_BITS.
int table_bits_for(std::uint64_t bytes);

// What search_probe hands back beside its result.
struct ProbeOut {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int32_t value = 0;
};

class HashStore {
public:
    // Tables of its own, of the default size.
    HashStore();
    // The caller's tables, which must outlive the store.
    explicit HashStore(HashTables& tables);
    HashStore(const HashStore&) = delete;
    HashStore& operator=(const HashStore&) = delete;

private:
    std::unique_ptr<HashTables> own_tables_;

public:
    HashTables& tables;
    HashTable<ThreatEntry>& ThreatTable;
    std::uint32_t hash_index = 0;  // the full sum; a table's slot is its low bits
    std::uint32_t hash_check1 = 0;
    std::uint32_t hash_check2 = 0;
    HashTable<SearchEntry>& SearchTable;

    // Keys of cell (x, y), engine coordinates, are added when a stone of
    // player p is placed and subtracted when it is taken back.
    void add_stone(int x, int y, int p) {
        const int u = x - MARGIN, v = y - MARGIN;
        hash_index += ZobristTables.index[p][v][u];
        hash_check1 += ZobristTables.check1[p][v][u];
        hash_check2 += ZobristTables.check2[p][v][u];
    }
    void remove_stone(int x, int y, int p) {
        const int u = x - MARGIN, v = y - MARGIN;
        hash_index -= ZobristTables.index[p][v][u];
        hash_check1 -= ZobristTables.check1[p][v][u];
        hash_check2 -= ZobristTables.check2[p][v][u];
    }

    // Empties both tables, as a new game does: every SearchEntry field but its
    // move becomes 0; every ThreatEntry loses its check words only.
    void clear();

    // Main table (search/transposition_tables.cpp).
    int search_probe(int alpha, int beta, int depth, int ply, ProbeOut& out) const;
    void search_store(int move, int value, int flags, int depth);
    void search_store_fixed(int value, int depth, int stones, int move);
    bool search_lookup_fixed(int depth, int& value) const;
    bool stored_move(int& x, int& y) const;
    void clear_bounds();

    // Threat table (search/transposition_tables.cpp).
    bool threat_probe(int& value) const;
    void threat_store(int value, int move);
};

}  // namespace vantrel
