// Emptying the hash store's tables at the start of a game. The key updates
// are inline in the header; the table probes and stores live beside the
// searches that use them.
#include "board/hash_store.h"

namespace vantrel {

void HashStore::clear() {
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
