// A search request's limits from the INFO settings and the game.
#include "protocol/search_request.h"

#include <algorithm>
#include <limits>

#include "protocol/brain_turn.h"
#include "search/iterative_deepening.h"

namespace vantrel {

SearchRequest make_search_request(SearchKind kind, Game& game, InfoSettings& info) {
    SearchRequest r;
    r.kind = kind;
    r.game = &game;
    r.started_ms = steady_ms();
    r.analysis_lines = info.analysis_lines();
    // The opening point and a full board need no budget (which would write
    // back into timeout_turn).
    const std::int32_t move_number = game.move_number();
    const bool searched =
        kind == SearchKind::Swap2 || (move_number > 1 && move_number <= game.board_width * game.board_height);
    r.until_stopped = kind != SearchKind::Swap2 && info.think_until_stopped();
    if (searched && !r.until_stopped) r.budget = budget_turn(info, move_number);
    const std::int32_t depth = info.max_depth.load();
    r.max_depth = depth > 0         ? std::min<std::int32_t>(depth, MAX_SEARCH_DEPTH)
                  : r.until_stopped ? MAX_SEARCH_DEPTH
                                    : NEW_GAME_MAX_DEPTH;
    const std::int32_t nodes = info.max_node.load();
    r.node_limit = nodes > 0 ? nodes : std::numeric_limits<std::int32_t>::max();
    return r;
}

}  // namespace vantrel
