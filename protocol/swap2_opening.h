// The Swap2 opening, as tournament managers run it before a game: the brain
// proposes the first three stones, or, given three or five stones, chooses a
// colour or places more stones. Every decision comes from the engine's own
// search, within the budget of one of the brain's turns; the worker runs it
// like a turn, so the main thread keeps answering.
//
// Scores are the search's, with white to move (after three or five stones
// white always moves next), averaged over two consecutive depths: an odd
// depth ends on white's move and an even one on black's, which tilts a
// score by about 60 either way; their mean compares fairly across depths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "board/engine_object.h"
#include "protocol/search_request.h"

namespace vantrel {

// The stones a SWAP2BOARD request lists, one count per form of answer.
inline constexpr int SWAP2_PROPOSE = 0;      // answer three stones: black, white, black
inline constexpr int SWAP2_CHOOSE = 3;       // SWAP, a 4th stone, or a 4th and a 5th
inline constexpr int SWAP2_LAST_CHOICE = 5;  // SWAP, or a 6th stone

// After three stones: white's score from this up means white is clearly
// better and the brain stays white; from its negation down black is and the
// brain takes black. In between the position is too even for the search to
// pick a colour with confidence, so the brain adds the 4th and 5th stones of
// its main line (a position it scores as even as the three stones) and
// leaves the colour to the opponent. About two open threes' worth of status.
inline constexpr int SWAP2_CLEAR_EDGE = 40;
// After five stones the colour must be chosen: white from this score up.
inline constexpr int SWAP2_STAY_WHITE_FROM = 0;
// Share of the budget, in percent, that the main search of a three- or
// five-stone position gets; the rest goes to the search one depth apart
// that gives the second score of the mean.
inline constexpr int SWAP2_MAIN_SEARCH_PERCENT = 65;

// The two engine sides by colour.
inline constexpr int BLACK_SIDE = 0;
inline constexpr int WHITE_SIDE = 1;

// Whether a request with this many stones has an answer.
bool is_swap2_request(std::size_t stones);

struct Swap2Decision {
    bool swap = false;  // take black
    int count = 0;      // points to play, in order; 0 with swap
    BoardPoint points[3];
};

// The decision on the engine's position, which holds the request's stones
// (0, 3 or 5, black first), within budget_ms as one turn would use it
// (searches stop STOP_MARGIN_MS before its end). The board is as it was on
// return. Every point is empty, on the board, and distinct from the others.
Swap2Decision decide_swap2(Engine& e, std::int32_t budget_ms);

// "SWAP", or the points as "x,y" separated by blanks.
std::string swap2_reply(const Swap2Decision& decision);

// The answer to a SWAP2BOARD request whose stones are on the request's
// game: the decision within the request's budget, its stones placed, the
// brain's colour recorded, the reply written.
void answer_swap2(const SearchRequest& r);

}  // namespace vantrel
