// The referee's rules: wins judged per line from the run through the move
// and the two cells beyond it; renju's fouls judged by placing stones on a
// copy of the board and looking along each line, recursing for threes.
#include "support/rule_referee.h"

#include <algorithm>
#include <stdexcept>

namespace vantrel::testing {

namespace {

constexpr int FIVE = 5;
constexpr int FOUR = 4;

// Renju's judge also draws a 15 x 15 game once 200 stones are on the board.
constexpr int RENJU_DRAW_SIZE = 15;
constexpr int RENJU_DRAW_STONES = 200;

struct Step {
    int dx;
    int dy;
};
// The four lines through a point: horizontal, vertical and both diagonals.
constexpr Step LINES[] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};

// The unbroken run of the mover's stones through (x, y), (x, y) included.
struct Run {
    int length;
    Square before_end;  // the cell just beyond the run's start
    Square after_end;   // the cell just beyond the run's end
};

Run run_through(const RefereeBoard& board, int x, int y, Step s) {
    const Square stone = board.at(x, y);
    int back = 1;
    while (board.at(x - back * s.dx, y - back * s.dy) == stone) ++back;
    int forward = 1;
    while (board.at(x + forward * s.dx, y + forward * s.dy) == stone) ++forward;
    return {back + forward - 1, board.at(x - back * s.dx, y - back * s.dy),
            board.at(x + forward * s.dx, y + forward * s.dy)};
}

bool line_wins(const Run& run, Square mover, RuleGame rule) {
    const Square blocker = opponent(mover);
    const bool blocked_both_ends = run.before_end == blocker && run.after_end == blocker;
    switch (rule) {
        case RuleGame::FreeStyle:
            return run.length >= FIVE;
        case RuleGame::Standard:
            return run.length == FIVE;
        case RuleGame::Renju:
            return mover == Square::White ? run.length >= FIVE : run.length == FIVE;
        case RuleGame::Caro:
            return run.length > FIVE || (run.length == FIVE && !blocked_both_ends);
        case RuleGame::CaroExactFive:
            return run.length == FIVE && !blocked_both_ends;
    }
    return false;
}

// ---- Renju: black's shapes ---------------------------------------------------
//
// All of these look at a board where black's move m already stands, and at
// one line through m. Cells of the line are named by their offset t from m
// (t = 0 is m), so "covers m" is a range check.
//
// Five: the black run through m is exactly five long. Overline: six or more.
//
// Four: a completion is an empty cell c of the line where one more black
// stone makes a run of exactly five along this line that contains m. A four
// is known by its four stones, the five's cells less its completion. The two
// completions of a straight four (.XXXX.) leave the same four stones: one
// four. Two completions that leave different stones are two fours: with m in
// the middle group, X X X . X . X X X, X X . X X . X X and X . X X X . X.
// Every cell between a completion and m is black, so there is at most one
// completion on each side of m and at most two fours on a line.
//
// Three: an empty cell c of the line (within three cells of m) where one
// more black stone makes a straight four along this line, the four including
// m: a run of exactly four black stones whose two end cells are empty cells
// of the board, each of which would make a run of exactly five. The stone at
// c must make no five anywhere and must not itself be a foul, judged as a
// black move in the position with m on the board (a recursion that ends
// because each level adds a stone). A line holds at most one three, so a
// line counts one three however many stones c would make one. Two different
// straight fours through m overlap, so an end cell of each lies inside the
// other; being empty, it is the other's c. The two are then the two ways of
// extending one . . X X X . . (any wider shift would make an end's
// completion an overline): the same three stones, one three.

struct Span {
    int from;  // offsets from m along the line, both ends included
    int to;
    int length() const { return to - from + 1; }
    bool covers(int t) const { return from <= t && t <= to; }
};

// The line through m along s, its cells by offset.
struct Line {
    const RefereeBoard& board;
    Coord m;
    Step s;

    Coord point(int t) const { return {m.x + t * s.dx, m.y + t * s.dy}; }
    Square at(int t) const { return board.at(m.x + t * s.dx, m.y + t * s.dy); }

    // The black run through offset t, counting t as black whatever it holds.
    Span black_run(int t) const {
        Span span{t, t};
        while (at(span.from - 1) == Square::Black) --span.from;
        while (at(span.to + 1) == Square::Black) ++span.to;
        return span;
    }
};

int black_run_length(const RefereeBoard& board, Coord p, Step s) { return Line{board, p, s}.black_run(0).length(); }

bool makes_exact_five(const RefereeBoard& board, Coord p) {
    return std::ranges::any_of(LINES, [&](Step s) { return black_run_length(board, p, s) == FIVE; });
}

bool makes_overline(const RefereeBoard& board, Coord p) {
    return std::ranges::any_of(LINES, [&](Step s) { return black_run_length(board, p, s) > FIVE; });
}

int fours_in_line(const Line& line) {
    std::vector<std::vector<int>> fours;  // each four's stones, by offset
    for (int t = -(FIVE - 1); t <= FIVE - 1; ++t) {
        if (t == 0 || line.at(t) != Square::Empty) continue;
        const Span five = line.black_run(t);
        if (five.length() != FIVE || !five.covers(0)) continue;
        std::vector<int> stones;
        for (int u = five.from; u <= five.to; ++u) {
            if (u != t) stones.push_back(u);
        }
        if (std::ranges::find(fours, stones) == fours.end()) fours.push_back(stones);
    }
    return static_cast<int>(fours.size());
}

// With the stone for c already placed: a straight four through c along the
// line that includes m.
bool is_straight_four_with(const Line& line, int c) {
    const Span four = line.black_run(c);
    if (four.length() != FOUR || !four.covers(0)) return false;
    const int ends[] = {four.from - 1, four.to + 1};
    return std::ranges::all_of(
        ends, [&](int end) { return line.at(end) == Square::Empty && line.black_run(end).length() == FIVE; });
}

bool foul_with_stone_at(RefereeBoard& board, Coord m);

bool foul_at(RefereeBoard& board, Coord c) {
    board.set(c.x, c.y, Square::Black);
    const bool foul = foul_with_stone_at(board, c);
    board.set(c.x, c.y, Square::Empty);
    return foul;
}

// `board` is changed during the search for the three's stone and restored.
bool three_in_line(RefereeBoard& board, Coord m, Step s) {
    const Line line{board, m, s};
    for (int c = -(FOUR - 1); c <= FOUR - 1; ++c) {
        if (c == 0 || line.at(c) != Square::Empty) continue;
        const Coord p = line.point(c);
        board.set(p.x, p.y, Square::Black);
        const bool straight_four = is_straight_four_with(line, c);
        const bool five = makes_exact_five(board, p);
        board.set(p.x, p.y, Square::Empty);
        if (straight_four && !five && !foul_at(board, p)) return true;
    }
    return false;
}

BlackShapes shapes_with_stone_at(RefereeBoard& board, Coord m) {
    BlackShapes shapes;
    shapes.five = makes_exact_five(board, m);
    shapes.overline = makes_overline(board, m);
    for (Step s : LINES) {
        shapes.fours += fours_in_line(Line{board, m, s});
        if (three_in_line(board, m, s)) ++shapes.threes;
    }
    return shapes;
}

// BlackShapes::foul of shapes_with_stone_at, stopping as soon as the answer
// is known: the recursion for threes is the costly part.
bool foul_with_stone_at(RefereeBoard& board, Coord m) {
    if (makes_exact_five(board, m)) return false;
    if (makes_overline(board, m)) return true;
    int fours = 0;
    for (Step s : LINES) fours += fours_in_line(Line{board, m, s});
    if (fours >= 2) return true;
    int threes = 0;
    for (Step s : LINES) {
        if (three_in_line(board, m, s) && ++threes >= 2) return true;
    }
    return false;
}

}  // namespace

// ---- Rule games and the board ---------------------------------------------

RuleGame rule_game_from_info(int info_rule) {
    switch (info_rule) {
        case 1:
        case 3:
            return RuleGame::Standard;
        case 2:
        case 4:
        case 5:
        case 6:
        case 7:
            return RuleGame::Renju;
        case 8:
        case 10:
            return RuleGame::Caro;
        case 9:
        case 11:
            return RuleGame::CaroExactFive;
        default:
            return RuleGame::FreeStyle;
    }
}

const char* rule_game_name(RuleGame rule) {
    switch (rule) {
        case RuleGame::FreeStyle:
            return "free-style";
        case RuleGame::Standard:
            return "standard";
        case RuleGame::Renju:
            return "renju";
        case RuleGame::Caro:
            return "caro";
        case RuleGame::CaroExactFive:
            return "caro with exactly five";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& os, RuleGame rule) { return os << rule_game_name(rule); }

Square opponent(Square stone) {
    if (stone == Square::Black) return Square::White;
    if (stone == Square::White) return Square::Black;
    return stone;
}

std::ostream& operator<<(std::ostream& os, const Coord& c) { return os << "(" << c.x << ", " << c.y << ")"; }

RefereeBoard::RefereeBoard(int width, int height) : width_(width), height_(height) {
    if (width < MIN_SIZE || height < MIN_SIZE || width > MAX_SIZE || height > MAX_SIZE)
        throw std::invalid_argument("board size outside 5..32");
    squares_.assign(static_cast<std::size_t>(width * height), Square::Empty);
}

RefereeBoard RefereeBoard::from_picture(const std::vector<std::string>& rows) {
    std::vector<std::string> cleaned;
    for (const std::string& row : rows) {
        std::string cells;
        for (char c : row) {
            if (c != ' ') cells += c;
        }
        cleaned.push_back(cells);
    }
    if (cleaned.empty()) throw std::invalid_argument("empty picture");
    RefereeBoard board(static_cast<int>(cleaned[0].size()), static_cast<int>(cleaned.size()));
    for (int y = 0; y < board.height(); ++y) {
        const std::string& row = cleaned[static_cast<std::size_t>(y)];
        if (static_cast<int>(row.size()) != board.width()) throw std::invalid_argument("ragged picture");
        for (int x = 0; x < board.width(); ++x) {
            switch (row[static_cast<std::size_t>(x)]) {
                case 'X':
                    board.set(x, y, Square::Black);
                    break;
                case 'O':
                    board.set(x, y, Square::White);
                    break;
                case '.':
                case '+':
                    break;
                default:
                    throw std::invalid_argument("unknown cell in picture: " + row);
            }
        }
    }
    return board;
}

std::string RefereeBoard::picture() const {
    std::string text;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Square cell = at(x, y);
            text += cell == Square::Black ? 'X' : cell == Square::White ? 'O' : '.';
        }
        text += '\n';
    }
    return text;
}

Square RefereeBoard::at(int x, int y) const {
    if (!on_board(x, y)) return Square::Edge;
    return squares_[static_cast<std::size_t>(y * width_ + x)];
}

void RefereeBoard::set(int x, int y, Square square) {
    if (!on_board(x, y) || square == Square::Edge) throw std::invalid_argument("set: not a cell of the board");
    squares_[static_cast<std::size_t>(y * width_ + x)] = square;
}

int RefereeBoard::stone_count() const {
    return static_cast<int>(std::ranges::count_if(squares_, [](Square c) { return c != Square::Empty; }));
}

// ---- Judgements --------------------------------------------------------------

bool wins(const RefereeBoard& board, int x, int y, RuleGame rule) {
    const Square mover = board.at(x, y);
    if (mover != Square::Black && mover != Square::White) return false;
    return std::ranges::any_of(LINES, [&](Step s) { return line_wins(run_through(board, x, y, s), mover, rule); });
}

BlackShapes black_shapes(const RefereeBoard& board, int x, int y) {
    if (board.at(x, y) != Square::Empty) return {};
    RefereeBoard scratch = board;
    scratch.set(x, y, Square::Black);
    return shapes_with_stone_at(scratch, {x, y});
}

bool forbidden(const RefereeBoard& board, int x, int y) {
    if (board.at(x, y) != Square::Empty) return false;
    RefereeBoard scratch = board;
    return foul_at(scratch, {x, y});
}

std::vector<Coord> forbidden_points(const RefereeBoard& board) {
    std::vector<Coord> points;
    RefereeBoard scratch = board;
    for (int y = 0; y < board.height(); ++y) {
        for (int x = 0; x < board.width(); ++x) {
            if (scratch.at(x, y) == Square::Empty && foul_at(scratch, {x, y})) points.push_back({x, y});
        }
    }
    return points;
}

const char* move_outcome_name(MoveOutcome outcome) {
    switch (outcome) {
        case MoveOutcome::Illegal:
            return "illegal";
        case MoveOutcome::BlackFoul:
            return "black foul";
        case MoveOutcome::Win:
            return "win";
        case MoveOutcome::Draw:
            return "draw";
        case MoveOutcome::GoesOn:
            return "goes on";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& os, MoveOutcome outcome) { return os << move_outcome_name(outcome); }

MoveOutcome outcome_after(const RefereeBoard& board, int x, int y, Square colour, RuleGame rule) {
    if (board.at(x, y) != Square::Empty || (colour != Square::Black && colour != Square::White))
        return MoveOutcome::Illegal;
    if (rule == RuleGame::Renju && colour == Square::Black && forbidden(board, x, y)) return MoveOutcome::BlackFoul;
    RefereeBoard after = board;
    after.set(x, y, colour);
    if (wins(after, x, y, rule)) return MoveOutcome::Win;
    const bool renju_limit = rule == RuleGame::Renju && after.width() == RENJU_DRAW_SIZE &&
                             after.height() == RENJU_DRAW_SIZE && after.stone_count() >= RENJU_DRAW_STONES;
    if (after.full() || renju_limit) return MoveOutcome::Draw;
    return MoveOutcome::GoesOn;
}

}  // namespace vantrel::testing
