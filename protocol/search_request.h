// What the command interpreter hands to the thread that runs a search: a
// self-contained request (which search, on which game, under which limits,
// which root moves are left out, how many lines, where the lines go). The
// search reads nothing else of the front end, so the same request runs on
// the worker thread or on the caller's own thread (same_thread_turns.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "protocol/game.h"
#include "protocol/info_settings.h"
#include "protocol/turn_budget.h"

namespace vantrel {

// Chooses the brain's move on the engine's board, protocol coordinates: a
// test's stand-in for the search of an ordinary turn.
using MoveChooser = std::function<BoardPoint(Engine&)>;
// Writes one reply line whole.
using ReplySink = std::function<void(std::string_view)>;

enum class SearchKind {
    Turn,        // the brain's move (TURN, BEGIN, BOARD); with lines > 1, the N best moves
    Swap2,       // the answer to a SWAP2BOARD request
    BalanceOne,  // the move that leaves the position closest to the target score
    BalanceTwo,  // the move and the reply that do
    Defend,      // the best defence, refuted moves named
};

// The most lines of a multi-line search.
inline constexpr int MAX_SEARCH_LINES = 10;

struct SearchRequest {
    SearchKind kind = SearchKind::Turn;
    Game* game = nullptr;
    // When the command that asked for the search arrived (steady_ms()).
    std::int64_t started_ms = 0;
    // The budget, unless the search runs until it is stopped.
    TurnBudget budget{};
    bool until_stopped = false;
    // Deepest iteration and moves a search may make; a stop request another
    // thread may set while it runs.
    std::int32_t max_depth = 0;
    std::int32_t node_limit = 0;
    const std::atomic<bool>* stop = nullptr;
    // Lines of a Turn search (1: the ordinary search).
    int lines = 1;
    // Points no root move may take (the GUI's blocked points).
    std::vector<BoardPoint> excluded;
    // The score the balance searches aim at, for the side to move.
    int target = 0;
    // Whether the analysis lines (INFO PV block, MESSAGE REALTIME) are written.
    bool analysis_lines = false;
    ReplySink reply;
    // A test's chooser for Turn searches of one line; none: the search.
    const MoveChooser* chooser = nullptr;
};

// A request of `kind` for the game under the INFO settings: its budget
// (none for the opening point or a full board, and none when the settings
// ask to think until stopped; Swap2 always keeps to one), depth, node limit
// and whether the analysis lines are written. The caller adds where lines
// go, the stop flag, the chooser and the points left out.
SearchRequest make_search_request(SearchKind kind, Game& game, InfoSettings& info);

}  // namespace vantrel
