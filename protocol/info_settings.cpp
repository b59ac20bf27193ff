// What the INFO settings mean for the size of the transposition tables.
#include "protocol/info_settings.h"

#include <algorithm>
#include <limits>

#include "board/hash_store.h"

namespace vantrel {

int table_bits_wanted(const InfoSettings& info) {
    const std::int64_t kilobytes = info.hash_size.load(), memory = info.max_memory.load();
    if (kilobytes <= 0 && memory <= 0) return SEARCH_TABLE_BITS;
    std::int64_t bytes = std::numeric_limits<std::int64_t>::max();
    if (kilobytes > 0) bytes = kilobytes * 1024;
    if (memory > 0) bytes = std::min(bytes, std::max<std::int64_t>(memory - MEMORY_BESIDE_TABLES, 0));
    return table_bits_for(static_cast<std::uint64_t>(bytes));
}

}  // namespace vantrel
