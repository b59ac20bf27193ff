// The analysis GUI's searches beyond the brain's move: the balancing move
// (or move and reply) that leaves the position closest to a wanted score,
// used to build fair openings, and the defence search that names the root
// moves proven lost. Both score their root moves one by one with the full
// window (search/root_scores.h) under the request's limits.
#pragma once

#include "protocol/search_request.h"

namespace vantrel {

// With two stones, the root side's moves and the opponent's replies
// considered: the best of each by the candidates' order (balancing needs
// quiet moves, which that order finds among its first).
inline constexpr int BALANCE_TWO_MOVES = 10;

// yxbalanceone / yxbalancetwo: the move, or the move and the reply, after
// which the steady score for the side to move at the root is closest to the
// request's target; placed and written on one line.
void answer_balance(const SearchRequest& r);

// yxsearchdefend: every root move near a stone scored; those proven lost are
// written as MESSAGE REALTIME LOSE as soon as they are; the best placed and
// written.
void answer_defence(const SearchRequest& r);

}  // namespace vantrel
