// The two transposition tables' operations, defined on HashStore (whose
// fields and entry layouts live in board/hash_store.h, beside the hash words
// that make and undo keep). Both tables hold one entry per slot, picked by
// hash_index; the two check words tell whether the slot holds the position
// asked for. Nothing here allocates or reads the board.
//
// SearchTable, used by the principal-variation and fixed-depth searches:
//   search_probe         a cut-off value, PROBE_MOVE_ONLY, or PROBE_MISS
//   search_store         keeps a node's result unless a deeper bounded entry
//                        holds the slot (whatever position that entry is for)
//   search_store_fixed   unconditional; leaves the flags byte alone
//   search_lookup_fixed  a value stored at exactly the given depth
//   stored_move          the move to try first; the caller checks its cell
//   clear_bounds         after each search: moves stay, cut-offs go
// ThreatTable, used by the threat-sequence search:
//   threat_probe / threat_store  outcomes of decided positions
#pragma once

#include "board/hash_store.h"

namespace vantrel {

// Scores at least this far from zero are won or lost positions. A probe moves
// them towards zero by the ply at which they are found, and uses them whatever
// depth stored them: a forced result needs no deeper search to be trusted.
inline constexpr int MATE_RANGE = 10000;

// A move passed to the stores as one number: x + 256 y, engine coordinates.
inline constexpr int pack_move(int x, int y) { return x + 256 * y; }
inline constexpr Point unpack_move(int move) {
    return Point{static_cast<std::uint8_t>(move & 0xFF), static_cast<std::uint8_t>((move >> 8) & 0xFF)};
}

}  // namespace vantrel
