// Setting up the hash store's tables and emptying them at the start of a
// game. The key updates are inline in the header; the table probes and
// stores live beside the searches that use them.
#include "board/hash_store.h"

namespace vantrel {

HashStore::HashStore() {
    for (int i = 0; i < REACHABLE_THREAT_SLOTS; ++i) ThreatTable[i] = ThreatEntry{};
}

void HashStore::clear() {
    for (SearchEntry& entry : SearchTable) {
        const Point move = entry.best_move;
        entry = SearchEntry{};
        entry.best_move = move;
    }
    for (int i = 0; i < REACHABLE_THREAT_SLOTS; ++i) {
        ThreatTable[i].check1 = 0;
        ThreatTable[i].check2 = 0;
    }
}

}  // namespace vantrel
