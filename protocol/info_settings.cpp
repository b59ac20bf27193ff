// What the INFO settings mean for the size of the transposition tables and
// for the rule of the game.
#include "protocol/info_settings.h"

#include <algorithm>

#include "board/hash_store.h"

namespace vantrel {

int table_bits_wanted(const InfoSettings& info) {
    const std::int64_t kilobytes = info.hash_size.load(), memory = info.max_memory.load();
    if (kilobytes <= 0 && memory <= 0) return SEARCH_TABLE_BITS;
    // hash_size sets the size; max_memory alone only caps today's.
    std::int64_t bytes = kilobytes > 0 ? kilobytes * 1024 : std::int64_t{SEARCH_TABLE_SIZE} * TABLE_PAIR_BYTES;
    if (memory > 0) bytes = std::min(bytes, std::max<std::int64_t>(memory - MEMORY_BESIDE_TABLES, 0));
    return table_bits_for(static_cast<std::uint64_t>(bytes));
}

Rule rule_game(const InfoSettings& info) {
    Rule rule = Rule::FreeStyle;
    return rule_of_info(info.rule.load(), rule) ? rule : Rule::FreeStyle;
}

}  // namespace vantrel
