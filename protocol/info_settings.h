// The settings a manager or GUI sends with INFO, named after their keys, and
// what they mean together: whether a search thinks until it is stopped,
// whether the analysis lines are written, how large the tables may grow,
// which rule game is played.
// Written by the reading thread at any time, read when a search is handed
// over or a game starts; atomics, so that neither side needs a lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "board/rule_tables.h"

namespace vantrel {

// The GUI's "unlimited time": a turn limit and a match clock this large (or
// larger) mean "think until stopped".
inline constexpr std::int32_t UNLIMITED_TURN_MS = 2000000;
inline constexpr std::int32_t UNLIMITED_MATCH_MS = 100000000;
// INFO show_detail with this value asks for the analysis lines (the INFO PV
// block and the MESSAGE REALTIME lines) while a search runs.
inline constexpr std::int32_t SHOW_DETAIL_ANALYSIS = 3;

struct InfoSettings {
    std::atomic<std::int32_t> max_memory{0};  // bytes; 0 or less: not given
    std::atomic<std::int32_t> timeout_match{1000000000};
    // The last turn budget, or the manager's value when INFO replaced it.
    std::atomic<std::int32_t> timeout_turn{30000};
    std::atomic<std::int32_t> time_left{1000000000};
    std::atomic<std::int32_t> game_type{1};
    // As the manager sent it; rule_game() is the rule game it selects.
    std::atomic<std::int32_t> rule{0};
    // timeout_turn as the manager last sent it; turn budgets never write it.
    std::atomic<std::int32_t> manager_timeout_turn{30000};
    // Limits of every searched turn until the next INFO of the key, across
    // games; 0 or less: none (the design's depth).
    std::atomic<std::int32_t> max_depth{0};
    std::atomic<std::int32_t> max_node{0};
    std::atomic<std::int32_t> show_detail{0};
    std::atomic<std::int32_t> hash_size{0};  // kilobytes; 0 or less: not given

    // Whether searches run until they are stopped rather than by a budget.
    bool think_until_stopped() const {
        return manager_timeout_turn.load() >= UNLIMITED_TURN_MS && timeout_match.load() >= UNLIMITED_MATCH_MS &&
               time_left.load() >= UNLIMITED_MATCH_MS;
    }
    bool analysis_lines() const { return show_detail.load() == SHOW_DETAIL_ANALYSIS; }
};

// What the process needs beside its transposition tables (the engine, the
// pattern tables, the code, stacks and buffers), kept out of INFO
// max_memory when the tables are sized from it.
inline constexpr std::int64_t MEMORY_BESIDE_TABLES = 16 * 1024 * 1024;

// The table size the settings ask for, as 2^bits entries of each table:
// from hash_size (kilobytes) and max_memory (bytes, less
// MEMORY_BESIDE_TABLES), the smaller when both are given; the default size
// when neither is. max_memory alone only caps the default size: a
// tournament manager sends it with every game, and tables grown to fill it
// would change the brain's search and its time use (emptying a table costs
// time at every new game and after every search).
int table_bits_wanted(const InfoSettings& info);

// The rule game INFO rule selects: free-style for a value that names none.
Rule rule_game(const InfoSettings& info);

}  // namespace vantrel
