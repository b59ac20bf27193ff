// Setting up the hash store's tables, sizing them, and emptying them at the
// start of a game. The key updates are inline in the header; the table
// probes and stores live beside the searches that use them.
#include "board/hash_store.h"

#include <bit>

namespace vantrel {

bool HashTables::resize(int bits) {
    // The old pair goes first, so that two pairs never need to fit at once.
    const int old_bits = search.bits();
    search.resize(MIN_TABLE_BITS);
    threat.resize(MIN_TABLE_BITS);
    if (search.resize(bits) && threat.resize(bits)) {
        stored_since_clear = bounds_since_clear = false;
        return true;
    }
    search.resize(MIN_TABLE_BITS);
    threat.resize(MIN_TABLE_BITS);
    search.resize(old_bits);
    threat.resize(old_bits);
    stored_since_clear = bounds_since_clear = false;
    return false;
}

int table_bits_for(std::uint64_t bytes) {
    const std::uint64_t pairs = bytes / TABLE_PAIR_BYTES;
    if (pairs < (std::uint64_t{1} << MIN_TABLE_BITS)) return MIN_TABLE_BITS;
    const int bits = std::bit_width(pairs) - 1;
    return bits > MAX_TABLE_BITS ? MAX_TABLE_BITS : bits;
}

HashStore::HashStore()
    : own_tables_(std::make_unique<HashTables>()),
      tables(*own_tables_),
      ThreatTable(tables.threat),
      SearchTable(tables.search) {}

HashStore::HashStore(HashTables& shared) : tables(shared), ThreatTable(tables.threat), SearchTable(tables.search) {}

void HashStore::clear() {
    if (!tables.stored_since_clear) return;
    tables.stored_since_clear = false;
    tables.bounds_since_clear = false;
    for (SearchEntry& entry : SearchTable) {
        const Point move = entry.best_move;
        entry = SearchEntry{};
        entry.best_move = move;
    }
    for (ThreatEntry& entry : ThreatTable) {
        entry.check1 = 0;
        entry.check2 = 0;
    }
}

}  // namespace vantrel
