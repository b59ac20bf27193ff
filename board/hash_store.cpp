// Setting up the hash store's tables and emptying them at the start of a
// game. The key updates are inline in the header; the table probes and
// stores live beside the searches that use them.
#include "board/hash_store.h"

namespace vantrel {

HashStore::HashStore() {
    ThreatEntry* const threat = &ThreatTable[0];
    for (int i = 0; i < REACHABLE_THREAT_SLOTS; ++i) threat[i] = ThreatEntry{};
}

void HashStore::clear() {
    if (!stored_since_clear) return;
    stored_since_clear = false;
    bounds_since_clear = false;
    for (SearchEntry& entry : SearchTable) {
        const Point move = entry.best_move;
        entry = SearchEntry{};
        entry.best_move = move;
    }
    ThreatEntry* const threat = &ThreatTable[0];
    for (int i = 0; i < REACHABLE_THREAT_SLOTS; ++i) {
        threat[i].check1 = 0;
        threat[i].check2 = 0;
    }
}

}  // namespace vantrel
