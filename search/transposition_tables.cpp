// Probe and store operations of the two transposition tables (see
// transposition_tables.h for how the searches use each one).
#include "search/transposition_tables.h"

namespace vantrel {

namespace {

inline bool has_bound(const SearchEntry& entry) { return (entry.flags & BOUND_ANY) != 0; }

inline bool matches(const SearchEntry& entry, const HashStore& h) {
    return entry.check1 == h.hash_check1 && entry.check2 == h.hash_check2;
}

// The 8-bit value field of a threat entry.
inline constexpr int THREAT_VALUE_MIN = -128;
inline constexpr int THREAT_VALUE_MAX = 127;

}  // namespace

int HashStore::search_probe(int alpha, int beta, int depth, int ply, ProbeOut& out) const {
    const SearchEntry& entry = SearchTable[hash_index];
    if (!matches(entry, *this)) return PROBE_MISS;

    int v = entry.value;
    if (has_bound(entry)) {
        bool adjusted = false;
        if (v >= MATE_RANGE) {
            v -= ply;
            adjusted = true;
        } else if (v <= -MATE_RANGE) {
            v += ply;
            adjusted = true;
        }
        if (entry.depth >= depth || adjusted) {
            out = ProbeOut{entry.best_move.x, entry.best_move.y, v};
            if (entry.flags & BOUND_LOWER) {
                if (v >= beta) return v;
            } else if (entry.flags & BOUND_UPPER) {
                if (v <= alpha) return v;
            } else if (entry.flags & BOUND_EXACT) {
                return v;
            }
        }
    }
    if (entry.depth > 0) {
        out = ProbeOut{entry.best_move.x, entry.best_move.y, v};
        return PROBE_MOVE_ONLY;
    }
    return PROBE_MISS;
}

void HashStore::search_store(int move, int value, int flags, int depth) {
    SearchEntry& entry = SearchTable[hash_index];
    // A deeper bounded entry stays, even one of another position: the check
    // words are deliberately not compared.
    if (has_bound(entry) && entry.depth > depth) return;
    tables.stored_since_clear = true;
    tables.bounds_since_clear = true;
    entry.best_move = unpack_move(move);
    entry.value = static_cast<std::int16_t>(value);
    entry.flags = static_cast<std::uint8_t>(flags);
    entry.depth = static_cast<std::int16_t>(depth);
    entry.check1 = hash_check1;
    entry.check2 = hash_check2;
}

void HashStore::search_store_fixed(int value, int depth, int stones, int move) {
    SearchEntry& entry = SearchTable[hash_index];
    tables.stored_since_clear = true;
    entry.value = static_cast<std::int16_t>(value);
    entry.depth = static_cast<std::int16_t>(depth);
    entry.stones = static_cast<std::uint16_t>(stones);
    entry.best_move = unpack_move(move);
    entry.check1 = hash_check1;
    entry.check2 = hash_check2;
}

bool HashStore::search_lookup_fixed(int depth, int& value) const {
    const SearchEntry& entry = SearchTable[hash_index];
    if (!matches(entry, *this) || entry.depth != depth) return false;
    value = entry.value;
    return true;
}

bool HashStore::stored_move(int& x, int& y) const {
    const SearchEntry& entry = SearchTable[hash_index];
    if (!matches(entry, *this) || entry.depth < 0 || entry.best_move.x == 0) return false;
    x = entry.best_move.x;
    y = entry.best_move.y;
    return true;
}

void HashStore::clear_bounds() {
    if (!tables.bounds_since_clear) return;
    tables.bounds_since_clear = false;
    for (SearchEntry& entry : SearchTable) entry.flags = 0;
}

bool HashStore::threat_probe(int& value) const {
    const ThreatEntry& entry = ThreatTable[hash_index];
    if (entry.check1 != hash_check1 || entry.check2 != hash_check2) return false;
    value = entry.value;
    return true;
}

void HashStore::threat_store(int value, int move) {
    // A forced line longer than the field can count is not worth a wrong
    // entry: leave the slot as it was.
    if (value < THREAT_VALUE_MIN || value > THREAT_VALUE_MAX) return;
    ThreatEntry& entry = ThreatTable[hash_index];
    tables.stored_since_clear = true;
    entry.check1 = hash_check1;
    entry.check2 = hash_check2;
    entry.value = static_cast<std::int8_t>(value);
    entry.best_move = unpack_move(move);
}

}  // namespace vantrel
