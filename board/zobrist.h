// The fixed keys of the position hash: for each of the three hash words, one
// key per player and cell of the largest board. Keys are generated at compile
// time from a named seed by a small deterministic generator, so they are the
// same in every run and on every platform; each lies in (0, 2^30) and the
// keys of one table are distinct (the board tests check both).
#pragma once

#include <cstdint>
#include <initializer_list>

namespace vantrel {

inline constexpr int ZOBRIST_SIDE = 32;                               // cells per side of the largest board
inline constexpr std::uint64_t ZOBRIST_SEED = 0x56616E7472656C31ULL;  // "Vantrel1"
inline constexpr std::uint32_t ZOBRIST_KEY_LIMIT = 1U << 30;

struct ZobristKeys {
    // Indexed [player][v][u] by protocol coordinates: u = x - MARGIN and
    // v = y - MARGIN.
    std::uint32_t index[2][ZOBRIST_SIDE][ZOBRIST_SIDE];
    std::uint32_t check1[2][ZOBRIST_SIDE][ZOBRIST_SIDE];
    std::uint32_t check2[2][ZOBRIST_SIDE][ZOBRIST_SIDE];
};

// splitmix64: tiny, well mixed, and usable in a constant expression.
constexpr std::uint64_t splitmix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A key below 2^30 and not zero.
constexpr std::uint32_t next_zobrist_key(std::uint64_t& state) {
    for (;;) {
        const auto key = static_cast<std::uint32_t>(splitmix64(state) >> 34);
        if (key != 0) return key;
    }
}

constexpr ZobristKeys make_zobrist_keys(std::uint64_t seed) {
    ZobristKeys keys{};
    std::uint64_t state = seed;
    for (auto* table : {&keys.index, &keys.check1, &keys.check2})
        for (auto& player : *table)
            for (auto& row : player)
                for (auto& key : row) key = next_zobrist_key(state);
    return keys;
}

inline constexpr ZobristKeys ZobristTables = make_zobrist_keys(ZOBRIST_SEED);

}  // namespace vantrel
