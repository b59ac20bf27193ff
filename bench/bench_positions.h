// The search bench's positions, shared by vantrel-bench and by the test that
// holds the bench's node counts fixed. Each position is a new game given by
// its moves or by a picture of the board.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "board/engine_object.h"

namespace vantrel::bench {

inline constexpr int DEFAULT_BENCH_DEPTH = 8;
// Far beyond any position's search at the bench depths: the clock never stops
// a bench search, so node counts depend on the search alone.
inline constexpr int AMPLE_TIME_MS = 1000000000;

struct BenchPosition {
    const char* name;
    int width, height;
    // Either moves, protocol coordinates, alternating from player 0 ...
    std::vector<std::pair<int, int>> moves;
    // ... or a picture, top row y = 0: 'X' player 0, 'O' player 1, '.' empty.
    // Stones go down alternately in scan order (X first), so X equals O in
    // number (X to move) or leads by one (O to move).
    std::vector<std::string> picture;
};

// Empty when the counts of X and O do not allow alternate play.
inline std::vector<std::pair<int, int>> moves_from_picture(const std::vector<std::string>& rows) {
    std::vector<std::pair<int, int>> stones[2], moves;
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
            if (rows[y][x] == 'X') stones[0].push_back({x, y});
            if (rows[y][x] == 'O') stones[1].push_back({x, y});
        }
    const std::size_t n0 = stones[0].size(), n1 = stones[1].size();
    if (n0 != n1 && n0 != n1 + 1) return {};
    for (std::size_t i = 0; i < n0; ++i) {
        moves.push_back(stones[0][i]);
        if (i < stones[1].size()) moves.push_back(stones[1][i]);
    }
    return moves;
}

// The positions keep their board-like layout.
// clang-format off
inline const std::vector<BenchPosition>& bench_positions() {
    static const std::vector<BenchPosition> positions = {
        {"15 opening, 2 stones", 15, 15, {{7, 7}, {8, 8}}, {}},
        {"15 opening, 3 stones", 15, 15, {{7, 7}, {8, 6}, {8, 8}}, {}},
        {"15 opening, 5 stones", 15, 15, {{7, 7}, {7, 8}, {8, 6}, {6, 8}, {9, 5}}, {}},
        // Middle games and tactical positions from the engine's own games.
        {"15 middle game, 12 stones", 15, 15, {
            {7, 7}, {6, 8}, {5, 7}, {4, 7}, {7, 8}, {7, 6}, {6, 6}, {5, 5},
            {8, 7}, {6, 9}, {7, 5}, {8, 4}
        }, {}},
        {"15 middle game, 18 stones", 15, 15, {
            {7, 7}, {6, 8}, {5, 7}, {4, 7}, {7, 8}, {7, 6}, {6, 6}, {5, 5},
            {8, 7}, {6, 9}, {7, 5}, {8, 4}, {8, 9}, {6, 7}, {8, 8}, {8, 10},
            {8, 5}, {8, 6}
        }, {}},
        {"15 tactics, win to find", 15, 15, {
            {7, 7}, {9, 7}, {8, 8}, {9, 9}, {8, 6}, {8, 9}, {9, 6}, {10, 9},
            {7, 9}, {11, 9}, {12, 9}, {9, 10}
        }, {}},
        {"15 near the edge", 15, 15, {}, {
            "..XO...........",
            ".OXX...........",
            "..OXO..........",
            ".XO............",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
        }},
        // X to move, with threes to turn into fours.
        {"15 tactics, fours", 15, 15, {}, {
            "...............",
            "...............",
            "...............",
            "...............",
            ".....O.........",
            "....OXXX.O.....",
            ".....X.........",
            "....OX.........",
            "....O..........",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
        }},
        // O to move must stop X's open three and broken three.
        {"15 tactics, defend", 15, 15, {}, {
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
            "......X........",
            ".....OXO.......",
            "....X.X..O.....",
            "...O.X.X.......",
            "......O........",
            "...............",
            "...............",
            "...............",
            "...............",
            "...............",
        }},
        {"20 opening, 2 stones", 20, 20, {{10, 10}, {9, 9}}, {}},
        {"20 opening, 6 stones", 20, 20, {{10, 10}, {11, 9}, {9, 11}, {11, 11}, {11, 10}, {9, 10}}, {}},
        {"20 middle game, 12 stones", 20, 20, {
            {10, 10}, {11, 9}, {10, 8}, {10, 7}, {11, 10}, {9, 10}, {9, 9}, {8, 8},
            {10, 11}, {12, 9}, {8, 10}, {7, 11}
        }, {}},
        {"20 middle game, 14 stones", 20, 20, {
            {10, 10}, {12, 10}, {9, 11}, {11, 9}, {10, 8}, {10, 12}, {11, 8}, {9, 8},
            {9, 9}, {11, 11}, {9, 13}, {9, 12}, {7, 11}, {8, 10}
        }, {}},
        {"20 middle game, 18 stones", 20, 20, {
            {10, 10}, {11, 9}, {10, 8}, {10, 7}, {11, 10}, {9, 10}, {9, 9}, {8, 8},
            {10, 11}, {12, 9}, {8, 10}, {7, 11}, {12, 11}, {10, 9}, {11, 11}, {13, 11},
            {8, 11}, {9, 11}
        }, {}},
        {"20 tactics, win to find", 20, 20, {
            {10, 10}, {12, 10}, {9, 11}, {11, 9}, {10, 8}, {10, 12}, {11, 8}, {9, 8},
            {9, 9}, {11, 11}, {9, 13}, {9, 12}, {7, 11}, {8, 10}, {8, 12}, {6, 10},
            {8, 11}, {10, 11}
        }, {}},
    };
    return positions;
}
// clang-format on

// The engine checks nothing: every move must be inside the board and on a
// distinct point before it is played.
inline bool moves_are_legal(const std::vector<std::pair<int, int>>& moves, const BenchPosition& p) {
    if (moves.empty()) return false;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const auto [x, y] = moves[i];
        if (x < 0 || y < 0 || x >= p.width || y >= p.height) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (moves[j] == moves[i]) return false;
    }
    return true;
}

// The moves of a position, from its list or its picture; empty when the
// picture does not allow alternate play.
inline std::vector<std::pair<int, int>> moves_of(const BenchPosition& p) {
    return p.picture.empty() ? p.moves : moves_from_picture(p.picture);
}

// A new game on the position's board, as RESTART gives, with its moves
// played (they must be legal), ready for iterative deepening to `depth`;
// node_count then counts the search's nodes.
inline void set_up(Engine& e, const BenchPosition& p, const std::vector<std::pair<int, int>>& moves, int depth) {
    e.reset_rectangle(p.width, p.height);
    for (auto [x, y] : moves) e.move(x, y);
    e.max_depth = depth;
    e.turn_time_ms = AMPLE_TIME_MS;
}

}  // namespace vantrel::bench
