// The hash store: the three position-hash words and the two transposition
// tables they index, held inside the engine object and never allocated or
// grown. make and undo keep the words exact through add_stone and
// remove_stone (keys are added, not xor-ed, so the same stones give the same
// words in any order). The probe and store operations of the tables are
// defined beside the searches that use them (search/transposition_tables.cpp);
// they touch this object's own fields only.
#pragma once

#include <cstdint>
#include <new>

#include "board/board_geometry.h"
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

inline constexpr int SEARCH_TABLE_BITS = 18;
inline constexpr int SEARCH_TABLE_SIZE = 1 << SEARCH_TABLE_BITS;
inline constexpr int THREAT_TABLE_BITS = 21;
inline constexpr int THREAT_TABLE_SIZE = 1 << THREAT_TABLE_BITS;
inline constexpr std::int32_t HASH_INDEX_MASK = SEARCH_TABLE_SIZE - 1;

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

// Only the first REACHABLE_THREAT_SLOTS entries of the threat table are ever
// used: its slot is hash_index, which stays below 2^18.
inline constexpr int REACHABLE_THREAT_SLOTS = SEARCH_TABLE_SIZE;
static_assert(REACHABLE_THREAT_SLOTS <= THREAT_TABLE_SIZE && HASH_INDEX_MASK < REACHABLE_THREAT_SLOTS);

// The threat table's entries, laid out as a plain array of ThreatEntry but
// held in storage that no constructor writes: the entries beyond the
// reachable ones are never written at all, so their pages are never
// committed to memory. HashStore sets up the reachable ones.
class ThreatEntries {
public:
    ThreatEntry& operator[](std::int32_t i) { return entries()[i]; }
    const ThreatEntry& operator[](std::int32_t i) const { return entries()[i]; }

private:
    // ThreatEntry is an aggregate, so the storage array's lifetime implicitly
    // creates the entries in it.
    ThreatEntry* entries() { return std::launder(reinterpret_cast<ThreatEntry*>(storage_)); }
    const ThreatEntry* entries() const { return std::launder(reinterpret_cast<const ThreatEntry*>(storage_)); }

    alignas(ThreatEntry) unsigned char storage_[sizeof(ThreatEntry) * THREAT_TABLE_SIZE];
};
static_assert(sizeof(ThreatEntries) == sizeof(ThreatEntry[THREAT_TABLE_SIZE]));

// What search_probe hands back beside its result.
struct ProbeOut {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int32_t value = 0;
};

class HashStore {
public:
    // The reachable threat entries start as all zeros, their moves (0, 0).
    HashStore();

    ThreatEntries ThreatTable;
    std::int32_t hash_index = 0;  // 0 .. 2^18 - 1
    std::uint32_t hash_check1 = 0;
    std::uint32_t hash_check2 = 0;
    SearchEntry SearchTable[SEARCH_TABLE_SIZE];
    // The tables change only through the store operations below, and through
    // clear and clear_bounds. While no store has run since the last clear,
    // both tables are still empty and clear has nothing to do; while no
    // search_store has run since the last clear_bounds, no entry has a bound.
    // A new store sets them; they start set, as the tables start unemptied.
    bool stored_since_clear = true;
    bool bounds_since_clear = true;

    // Keys of cell (x, y), engine coordinates, are added when a stone of
    // player p is placed and subtracted when it is taken back.
    void add_stone(int x, int y, int p) {
        const int u = x - MARGIN, v = y - MARGIN;
        hash_index = static_cast<std::int32_t>((static_cast<std::uint32_t>(hash_index) + ZobristTables.index[p][v][u]) &
                                               HASH_INDEX_MASK);
        hash_check1 += ZobristTables.check1[p][v][u];
        hash_check2 += ZobristTables.check2[p][v][u];
    }
    void remove_stone(int x, int y, int p) {
        const int u = x - MARGIN, v = y - MARGIN;
        hash_index = static_cast<std::int32_t>((static_cast<std::uint32_t>(hash_index) - ZobristTables.index[p][v][u]) &
                                               HASH_INDEX_MASK);
        hash_check1 -= ZobristTables.check1[p][v][u];
        hash_check2 -= ZobristTables.check2[p][v][u];
    }

    // Empties both tables, as a new game does: every SearchEntry field but its
    // move becomes 0; every reachable ThreatEntry loses its check words only.
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
