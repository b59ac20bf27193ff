// Generates the rule games' tables from their rules (see rule_tables.h).
//
// A line is read as eleven cells, five each side of the centre, which always
// holds the own stone. Only the cells up to the first blocker on each side
// (an opponent stone or the outside) can matter: nothing beyond it can join
// a five through the centre, lie in a free window, or end the centre's run.
// So every line is first brought to its canonical form, with the cells past
// the first blocker on each side made outside, and the few thousand
// canonical lines are classified once each, memoised by their code; the
// million table entries are then copies.
#include "board/rule_tables.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <memory>
#include <mutex>
#include <vector>

#include "board/pattern_tables.h"

namespace vantrel {

bool rule_of_info(std::int32_t value, Rule& rule) {
    switch (value) {
    case 0: rule = Rule::FreeStyle; return true;
    case 1:
    case 3: rule = Rule::Standard; return true;
    case 2:
    case 4:
    case 5:
    case 6:
    case 7: rule = Rule::Renju; return true;
    case 8:
    case 10: rule = Rule::Caro; return true;
    case 9:
    case 11: rule = Rule::CaroExact; return true;
    default: return false;
    }
}

std::int32_t info_of_rule(Rule rule) {
    constexpr std::int32_t VALUES[RULE_GAMES] = {0, 1, 4, 8, 9};
    return VALUES[static_cast<int>(rule)];
}

const char* rule_name(Rule rule) {
    constexpr const char* NAMES[RULE_GAMES] = {"free-style", "standard", "renju", "caro", "caro exactly five"};
    return NAMES[static_cast<int>(rule)];
}

namespace {

// ---- Lines ---------------------------------------------------------------

constexpr int CELLS = 2 * RULE_REACH + 1;
constexpr int CENTRE = RULE_REACH;
constexpr int WINDOW_LENGTH = 5;

enum Spot : std::uint8_t { FREE = 0, OWN = 1, OPPONENT = 2, OUT = 3 };
using Line = std::array<Spot, CELLS>;

bool blocker(Spot s) { return s == OPPONENT || s == OUT; }

// A line's code: two bits per cell, the centre left out, cell 0 lowest.
constexpr int LINE_CODES = 1 << (2 * (CELLS - 1));
static_assert(LINE_CODES == RULE_LINES, "a canonical code fits the table's index width");

int code_of(const Line& line) {
    int code = 0, shift = 0;
    for (int cell = 0; cell < CELLS; ++cell) {
        if (cell == CENTRE) continue;
        code |= line[cell] << shift;
        shift += 2;
    }
    return code;
}

Line line_of(int code) {
    Line line{};
    int shift = 0;
    for (int cell = 0; cell < CELLS; ++cell) {
        if (cell == CENTRE) {
            line[cell] = OWN;
            continue;
        }
        line[cell] = static_cast<Spot>((code >> shift) & 3);
        shift += 2;
    }
    return line;
}

// ---- How each player's five is judged -----------------------------------

enum class FiveKind : std::uint8_t {
    AtLeast,     // five or more
    Exactly,     // exactly five
    Caro,        // an overline, or exactly five not blocked at both ends
    CaroExactly  // exactly five not blocked at both ends
};

struct LineRule {
    FiveKind five;
    // Renju's black: an overline and two fours on one line are types of
    // their own (fouls), and an open four is only a straight four.
    bool fouls;
};

LineRule line_rule(Rule rule, int player) {
    switch (rule) {
    case Rule::Standard: return {FiveKind::Exactly, false};
    case Rule::Renju: return player == BLACK ? LineRule{FiveKind::Exactly, true} : LineRule{FiveKind::AtLeast, false};
    case Rule::Caro: return {FiveKind::Caro, false};
    case Rule::CaroExact: return {FiveKind::CaroExactly, false};
    case Rule::FreeStyle: break;
    }
    return {FiveKind::AtLeast, false};
}

// The centre's run of own stones, first and last cell.
void centre_run(const Line& line, int& first, int& last) {
    first = last = CENTRE;
    while (first > 0 && line[first - 1] == OWN) --first;
    while (last < CELLS - 1 && line[last + 1] == OWN) ++last;
}

enum class RunResult { None, Five, Overline };

// What the centre's run makes. A run of five never reaches the line's ends
// (it holds the centre), so both cells beyond it are always in the line;
// the edge of the board does not block a caro five.
RunResult judge_run(const Line& line, FiveKind kind) {
    int first, last;
    centre_run(line, first, last);
    const int length = last - first + 1;
    if (length < 5) return RunResult::None;
    const bool exact_kind = kind == FiveKind::Exactly || kind == FiveKind::CaroExactly;
    if (length > 5) return exact_kind ? RunResult::Overline : RunResult::Five;
    if (kind == FiveKind::Caro || kind == FiveKind::CaroExactly) {
        if (line[first - 1] == OPPONENT && line[last + 1] == OPPONENT) return RunResult::None;
    }
    return RunResult::Five;
}

bool makes_five(const Line& line, FiveKind kind) { return judge_run(line, kind) == RunResult::Five; }

// The free cells where one more own stone makes a five through the centre.
int completions(Line& line, FiveKind kind, int (&cells)[CELLS]) {
    int n = 0;
    for (int cell = 0; cell < CELLS; ++cell) {
        if (line[cell] != FREE) continue;
        line[cell] = OWN;
        if (makes_five(line, kind)) cells[n++] = cell;
        line[cell] = FREE;
    }
    return n;
}

// Whether one opponent stone leaves the line without a completing cell: in
// caro a stone just past a five's end can do what a stone on it does.
bool one_stone_stops(Line& line, FiveKind kind) {
    int ignored[CELLS];
    for (int cell = 0; cell < CELLS; ++cell) {
        if (line[cell] != FREE) continue;
        line[cell] = OPPONENT;
        const bool stopped = completions(line, kind, ignored) == 0;
        line[cell] = FREE;
        if (stopped) return true;
    }
    return false;
}

// A straight four: two completing cells five apart with four own stones
// between them; any other pair of completing cells is two fours.
bool straight_four(const Line& line, const int (&cells)[CELLS], int n) {
    if (n != 2 || cells[1] - cells[0] != 5) return false;
    for (int cell = cells[0] + 1; cell < cells[1]; ++cell)
        if (line[cell] != OWN) return false;
    return true;
}

// Overlines and double fours are no step towards anything for black.
int as_successor(int type) { return type == LINE_OVERLINE || type == LINE_DOUBLE_FOUR ? LINE_DEAD : type; }

// The line type rule, as free-style's, with the rule's five: a five; else
// the completing cells decide a four or an open four (one that one stone
// cannot stop); else two below the best that one more own stone makes.
class LineClassifier {
public:
    explicit LineClassifier(LineRule rule) : rule_(rule), memo_(LINE_CODES, UNKNOWN) {}

    int type(Line& line) {
        std::int8_t& known = memo_[code_of(line)];
        if (known == UNKNOWN) known = static_cast<std::int8_t>(classify(line));
        return known;
    }

    LineRule rule() const { return rule_; }

private:
    static constexpr std::int8_t UNKNOWN = -1;

    int classify(Line& line) {
        switch (judge_run(line, rule_.five)) {
        case RunResult::Five: return LINE_FIVE;
        case RunResult::Overline: return rule_.fouls ? LINE_OVERLINE : LINE_DEAD;
        case RunResult::None: break;
        }
        int cells[CELLS];
        const int n = completions(line, rule_.five, cells);
        if (n == 1) return LINE_FOUR;
        if (n >= 2) {
            if (rule_.fouls) return straight_four(line, cells, n) ? LINE_OPEN_FOUR : LINE_DOUBLE_FOUR;
            return one_stone_stops(line, rule_.five) ? LINE_FOUR : LINE_OPEN_FOUR;
        }
        int best = LINE_DEAD;
        for (int cell = 0; cell < CELLS; ++cell) {
            if (line[cell] != FREE) continue;
            line[cell] = OWN;
            best = std::max(best, as_successor(type(line)));
            line[cell] = FREE;
        }
        return best >= 2 ? best - 2 : LINE_DEAD;
    }

    LineRule rule_;
    std::vector<std::int8_t> memo_;
};

// The free windows of five cells through the centre, counted by own stones,
// weighed as free-style weighs them. Under an exact five a window with an own
// stone just past either end would fill to an overline; in caro one with
// opponent stones just past both ends would fill to a blocked five.
void window_counts(const Line& line, FiveKind kind, int (&counts)[WINDOW_SIZES]) {
    std::fill(counts, counts + WINDOW_SIZES, 0);
    for (int start = CENTRE - WINDOW_LENGTH + 1; start <= CENTRE; ++start) {
        int own = 0;
        bool free = true;
        for (int cell = start; cell < start + WINDOW_LENGTH; ++cell) {
            free = free && !blocker(line[cell]);
            own += line[cell] == OWN;
        }
        const Spot before = line[start - 1], after = line[start + WINDOW_LENGTH];
        if (kind == FiveKind::Exactly || kind == FiveKind::CaroExactly) free = free && before != OWN && after != OWN;
        if (kind == FiveKind::Caro || kind == FiveKind::CaroExactly)
            free = free && !(before == OPPONENT && after == OPPONENT);
        if (free) ++counts[own - 1];
    }
}

// What the tables need of one canonical line.
struct LineFacts {
    std::uint8_t type;
    std::uint8_t priority;
    std::int8_t weight;
};

class LineFactsMemo {
public:
    explicit LineFactsMemo(LineRule rule) : classifier_(rule), known_(LINE_CODES, false), facts_(LINE_CODES) {}

    const LineFacts& facts(int code) {
        if (!known_[code]) {
            known_[code] = true;
            Line line = line_of(code);
            const int type = classifier_.type(line);
            int counts[WINDOW_SIZES];
            window_counts(line, classifier_.rule().five, counts);
            const int priority = priority_of_line(as_successor(type), counts[1], counts[2]);
            facts_[code] = {static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(priority),
                            static_cast<std::int8_t>(window_weight(counts))};
        }
        return facts_[code];
    }

private:
    LineClassifier classifier_;
    std::vector<bool> known_;
    std::vector<LineFacts> facts_;
};

// ---- From table index to canonical code ----------------------------------

// The cells on one side of the centre, as a table index gives them: the four
// near cells from both players' free-style masks and the far cell from the
// far nibble, ten bits. Bits 0..3 player 0's near cells, 4..7 player 1's, 8
// player 0's far cell, 9 player 1's, near cells in order away from the centre.
constexpr int SIDE_PATTERNS = 1 << 10;

// The side's canonical code for `player` as own: two bits per cell, going
// away from the centre, with every cell past the first blocker made outside.
int side_code(int pattern, int player) {
    int code = 0;
    bool blocked = false;
    for (int step = 0; step < RULE_REACH; ++step) {
        const int bit0 = step < LINE_REACH ? step : 8, bit1 = step < LINE_REACH ? step + 4 : 9;
        const bool mine = (pattern >> (player == 0 ? bit0 : bit1)) & 1;
        const bool theirs = (pattern >> (player == 0 ? bit1 : bit0)) & 1;
        Spot spot = mine && theirs ? OUT : theirs ? OPPONENT : mine ? OWN : FREE;
        if (blocked) spot = OUT;
        blocked = blocked || blocker(spot);
        code |= spot << (2 * step);
    }
    return code;
}

// A side code (cells going away from the centre) placed into a line code
// (cells in line order) as the back side or the forward side.
int back_side_in_line(int side) {
    int code = 0;
    for (int step = 0; step < RULE_REACH; ++step) code |= ((side >> (2 * step)) & 3) << (2 * (RULE_REACH - 1 - step));
    return code;
}
int forward_side_in_line(int side) { return side << (2 * RULE_REACH); }

struct SideCodes {
    int back[PLAYERS][SIDE_PATTERNS];
    int forward[PLAYERS][SIDE_PATTERNS];
};

// Bits of the back and forward side patterns of a table index. Mask bit b
// of a free-style mask is the cell LINE_REACH - b back for b < LINE_REACH,
// and b - LINE_REACH + 1 forward otherwise.
int back_pattern(unsigned index) {
    int pattern = 0;
    for (int step = 0; step < LINE_REACH; ++step) {
        const int bit = LINE_REACH - 1 - step;
        pattern |= ((index >> bit) & 1) << step;
        pattern |= ((index >> (8 + bit)) & 1) << (step + 4);
    }
    const unsigned far = index >> FAR_SHIFT;
    pattern |= (far & FAR_BACK) << 8;
    pattern |= ((far >> FAR_PLAYER_SHIFT) & FAR_BACK) << 9;
    return pattern;
}

int forward_pattern(unsigned index) {
    int pattern = 0;
    for (int step = 0; step < LINE_REACH; ++step) {
        const int bit = LINE_REACH + step;
        pattern |= ((index >> bit) & 1) << step;
        pattern |= ((index >> (8 + bit)) & 1) << (step + 4);
    }
    const unsigned far = index >> FAR_SHIFT;
    pattern |= ((far & FAR_FORWARD) >> 1) << 8;
    pattern |= (((far >> FAR_PLAYER_SHIFT) & FAR_FORWARD) >> 1) << 9;
    return pattern;
}

// ---- Statuses ------------------------------------------------------------

// Four line types to a status. Without fouls, free-style's rule. Renju's
// black: a five wins whatever else; an overline or two fours is a foul; two
// open threes make the move a foul only when both are real threes, which
// the board decides (renju_fouls.h), so such a cell keeps a status that
// claims nothing: a four when it has one, else the double three, which for
// black always means "look closer".
int status_of(const int (&types)[DIRECTIONS], bool fouls) {
    if (!fouls) return classify_status(types[0], types[1], types[2], types[3]);
    int count[RULE_LINE_TYPES] = {};
    for (int t : types) ++count[t];
    if (count[LINE_FIVE] > 0) return STATUS_FIVE;
    const int fours = count[LINE_FOUR] + count[LINE_OPEN_FOUR] + 2 * count[LINE_DOUBLE_FOUR];
    if (count[LINE_OVERLINE] > 0 || fours >= 2) return STATUS_FOUL;
    if (count[LINE_OPEN_THREE] >= 2) return fours == 1 ? STATUS_FOUR : STATUS_DOUBLE_THREE;
    return classify_status(types[0], types[1], types[2], types[3]);
}

void fill_tables(RuleTables& t) {
    const LineRule rules[PLAYERS] = {line_rule(t.rule, 0), line_rule(t.rule, 1)};
    std::unique_ptr<SideCodes> sides = std::make_unique<SideCodes>();
    for (int p = 0; p < PLAYERS; ++p)
        for (int pattern = 0; pattern < SIDE_PATTERNS; ++pattern) {
            const int side = side_code(pattern, p);
            sides->back[p][pattern] = back_side_in_line(side);
            sides->forward[p][pattern] = forward_side_in_line(side);
        }

    LineFactsMemo memo0(rules[0]);
    std::unique_ptr<LineFactsMemo> own_memo1;
    // Both players judged alike share one memo.
    const bool alike = rules[0].five == rules[1].five && rules[0].fouls == rules[1].fouls;
    if (!alike) own_memo1 = std::make_unique<LineFactsMemo>(rules[1]);
    LineFactsMemo* memo[PLAYERS] = {&memo0, alike ? &memo0 : own_memo1.get()};

    for (unsigned index = 0; index < RULE_LINES; ++index) {
        const int back = back_pattern(index), forward = forward_pattern(index);
        int types[PLAYERS], priority = 0;
        for (int p = 0; p < PLAYERS; ++p) {
            const LineFacts& f = memo[p]->facts(sides->back[p][back] | sides->forward[p][forward]);
            types[p] = f.type;
            priority += f.priority;
            t.stone_weight[p][index] = f.weight;
        }
        t.both_types[index] = static_cast<std::uint16_t>(types[0] | types[1] << 8);
        assert(priority <= UINT8_MAX);
        t.pair_priority[index] = static_cast<std::uint8_t>(priority);
    }

    // Indexes with a type the player's lines never have stay at no status.
    for (int p = 0; p < PLAYERS; ++p) {
        const int types_known = rules[p].fouls ? RULE_LINE_TYPES : LINE_FIVE + 1;
        for (int index = 0; index < RULE_STATUS_INDEXES; ++index) {
            const int types[DIRECTIONS] = {index >> 12, (index >> 8) & 15, (index >> 4) & 15, index & 15};
            const bool valid = std::all_of(types, types + DIRECTIONS, [&](int type) { return type < types_known; });
            t.status[p][index] = static_cast<std::uint8_t>(valid ? status_of(types, rules[p].fouls) : STATUS_NONE);
        }
    }
}

}  // namespace

const RuleTables* rule_tables(Rule rule) {
    static std::once_flag made[RULE_GAMES];
    static std::unique_ptr<RuleTables> tables[RULE_GAMES];
    if (rule == Rule::FreeStyle) return nullptr;
    const int i = static_cast<int>(rule);
    std::call_once(made[i], [&] {
        tables[i] = std::make_unique<RuleTables>();
        tables[i]->rule = rule;
        fill_tables(*tables[i]);
    });
    return tables[i].get();
}

}  // namespace vantrel
