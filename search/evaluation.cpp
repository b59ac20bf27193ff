// The static evaluation (see evaluation.h). The stone scores are recomputed
// from the history at every call rather than kept by make and undo: a leaf
// costs eight table reads per stone, and make stays lean.
#include "search/evaluation.h"

#include "board/pattern_tables.h"
#include "board/rule_tables.h"
#include "search/outcome_check.h"
#include "search/position_guard.h"

namespace vantrel {

int status_balance(const Engine& e) {
    const std::int32_t* own_count = e.status_count[e.side];
    const std::int32_t* opp_count = e.status_count[e.other];
    const std::int32_t* own_weights = opp_count[STATUS_FIVE] >= 1 ? OwnStatusWeightsBlocking : OwnStatusWeights;
    int own = 0, opp = 0;
    for (int s = 1; s < STATUS_COUNT; ++s) {
        own += own_count[s] * own_weights[s];
        opp += opp_count[s] * OpponentStatusWeights[s];
    }
    // Black's double threes in renju are fouls or single threes: each is
    // worth an open three at most.
    if (e.rule == Rule::Renju) {
        const int doubtful = e.status_count[BLACK][STATUS_DOUBLE_THREE];
        if (e.side == BLACK)
            own -= doubtful * (own_weights[STATUS_DOUBLE_THREE] - own_weights[STATUS_OPEN_THREE]);
        else
            opp -= doubtful * (OpponentStatusWeights[STATUS_DOUBLE_THREE] - OpponentStatusWeights[STATUS_OPEN_THREE]);
    }
    return own - opp;
}

namespace {

// The stone's own mask comes first in the index: the line is read with the
// stone itself at its centre.
void free_stone_scores(const Engine& e, int (&stone_score)[PLAYERS]) {
    for (int i = 0; i < e.move_count; ++i) {
        const Cell& c = e.cells[e.history[i].x][e.history[i].y];
        const int p = c.state;
        for (int d = 0; d < DIRECTIONS; ++d)
            stone_score[p] += EvalWeights[EvalIndexTable[pair_index(c.line_mask[d][p], c.line_mask[d][1 - p])]];
    }
}

// A rule game's line reaches the far cells too; its table is per player.
void rule_stone_scores(const Engine& e, int (&stone_score)[PLAYERS]) {
    for (int i = 0; i < e.move_count; ++i) {
        const int x = e.history[i].x, y = e.history[i].y;
        const Cell& c = e.cells[x][y];
        const std::uint8_t* far = e.far_masks[x * GRID_SIZE + y];
        const std::int8_t* weights = e.rules->stone_weight[c.state];
        for (int d = 0; d < DIRECTIONS; ++d)
            stone_score[c.state] +=
                weights[c.line_mask[d][0] | c.line_mask[d][1] << 8 | unsigned{far[d]} << FAR_SHIFT];
    }
}

}  // namespace

int evaluate(Engine& e) {
    const PositionGuard guard(e);
    const int r = outcome_check(e);
    if (r > 0) return WIN_SCORE - r;
    if (r < 0) return -WIN_SCORE - r;

    int stone_score[PLAYERS] = {0, 0};
    if (e.rules)
        rule_stone_scores(e, stone_score);
    else
        free_stone_scores(e, stone_score);

    const int b = status_balance(e);
    const int diff = stone_score[e.side] - stone_score[e.other];
    // One expression, in this order, in double precision, truncated toward
    // zero: the build forbids fused multiply-adds so it rounds alike everywhere.
    const double blended =
        (static_cast<double>(b) + static_cast<double>(diff) * STONE_SCORE_WEIGHT) + SIDE_TO_MOVE_BONUS;
    return static_cast<int>(blended);
}

}  // namespace vantrel
