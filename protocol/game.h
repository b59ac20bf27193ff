// The game the front end plays: the board's size, the one engine holding its
// stones, and the side the brain plays. The command interpreter owns it and
// changes it between searches; a search request (search_request.h) hands it
// to the thread that runs the search, which places the search's answer on
// it. Nothing here knows about lines of text or threads.
#pragma once

#include <cstdint>
#include <memory>

#include "board/engine_object.h"

namespace vantrel {

// The engine's search settings at the start of every game.
inline constexpr int NEW_GAME_MAX_DEPTH = 15;
inline constexpr int NEW_GAME_TURN_TIME_MS = 5000;

// Gives an engine back to whoever made it: deletes it, unless the factory
// hands out engines it keeps (the fuzzer reuses one, as building 30 MB for
// every game would slow it down a hundredfold).
struct EngineRelease {
    void (*release)(Engine*) = nullptr;
    void operator()(Engine* e) const {
        if (release)
            release(e);
        else
            delete e;
    }
};
using EnginePtr = std::unique_ptr<Engine, EngineRelease>;

// An engine on the heap using the session's tables; null when memory runs
// out.
EnginePtr create_engine(HashTables& tables);

struct Game {
    std::int32_t board_width = 0;  // 0: no size known yet
    std::int32_t board_height = 0;
    EnginePtr engine;
    // The engine side (0 moves first) that plays the brain's stones in this
    // game: the side to move whenever a search is handed over, the side of a
    // PLAY stone, the colour a SWAP2BOARD answer took. BOARD reads it to tell
    // the brain's stones on the board from the opponent's.
    std::int32_t brain_side = 0;

    // Number of the next stone: 1 on an empty board, 0 before any game.
    std::int32_t move_number() const { return engine ? engine->move_count + 1 : board_width != 0 ? 1 : 0; }
    // Whether p lies on the board (board_width x board_height).
    bool on_board(BoardPoint p) const { return p.x >= 0 && p.x < board_width && p.y >= 0 && p.y < board_height; }
    // Whether p is an empty cell of the current board (an engine exists).
    bool is_free(BoardPoint p) const { return on_board(p) && engine->cell(p.x + MARGIN, p.y + MARGIN).state == EMPTY; }
    // A stone of the side to move at p, an empty cell of the board.
    void place_stone(BoardPoint p) { engine->move(p.x, p.y); }
};

}  // namespace vantrel
