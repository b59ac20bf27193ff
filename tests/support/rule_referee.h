// Test helper: an independent referee of the rule games (free-style,
// standard, renju, caro), written from the rules' own wording rather than
// from the engine's tables. It is deliberately small and slow: it walks the
// cells of each line through a move and, for renju's threes, recurses by
// placing stones on a plain board. Tests and self-play checks compare the
// engine's answers with it.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vantrel::testing {

// The rule games a manager can select with INFO rule.
enum class RuleGame {
    FreeStyle,      // five or more wins
    Standard,       // exactly five wins, for both colours
    Renju,          // white: five or more; black: exactly five, with fouls
    Caro,           // an overline, or exactly five not blocked at both ends
    CaroExactFive,  // only exactly five not blocked at both ends
};

// INFO rule is a bitmask (1 exactly five, 2 continuous game, 4 renju,
// 8 caro), but only the listed values select a rule game; any other value
// keeps free-style.
RuleGame rule_game_from_info(int info_rule);
const char* rule_game_name(RuleGame rule);
std::ostream& operator<<(std::ostream& os, RuleGame rule);

// What a square of the board holds, or the edge beyond it. The edge is not a
// stone: it never blocks a caro five and is never an empty end of a straight
// four.
enum class Square : std::uint8_t { Empty, Black, White, Edge };

// Black is the colour of the game's first stone; the colours alternate.
// Empty and Edge are their own opponents.
Square opponent(Square stone);

// A square, (0, 0) at the top left.
struct Coord {
    int x = 0;
    int y = 0;
    friend bool operator==(const Coord&, const Coord&) = default;
};
std::ostream& operator<<(std::ostream& os, const Coord& c);

// A plain grid of squares, width and height 5..32, (0, 0) at the top left.
class RefereeBoard {
public:
    static constexpr int MIN_SIZE = 5;
    static constexpr int MAX_SIZE = 32;

    // An empty board; throws std::invalid_argument outside 5..32.
    RefereeBoard(int width, int height);

    // A picture is one string per row, top row y = 0: 'X' black, 'O' white,
    // '.' or '+' empty; spaces are ignored. Throws std::invalid_argument for
    // ragged rows, other characters or a size outside 5..32.
    static RefereeBoard from_picture(const std::vector<std::string>& rows);
    // The board in the same notation, one line per row, for messages.
    std::string picture() const;

    int width() const { return width_; }
    int height() const { return height_; }
    bool on_board(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // The stone at (x, y), Empty, or Edge when (x, y) is off the board.
    Square at(int x, int y) const;
    // Puts a stone (or Empty) on a cell of the board; throws off the board.
    void set(int x, int y, Square square);

    int stone_count() const;
    bool full() const { return stone_count() == width_ * height_; }
    // Black moves when the number of stones is even.
    Square side_to_move() const { return stone_count() % 2 == 0 ? Square::Black : Square::White; }

    friend bool operator==(const RefereeBoard&, const RefereeBoard&) = default;

private:
    int width_;
    int height_;
    std::vector<Square> squares_;
};

// With the mover's stone just placed at (x, y), whether that move wins under
// the rule. False when (x, y) holds no stone.
bool wins(const RefereeBoard& board, int x, int y, RuleGame rule);

// What a black stone at an empty (x, y) would make, in renju's terms (see
// rule_referee.cpp for the exact definitions): an exactly-five line, an
// overline, and the number of fours and threes through the move.
struct BlackShapes {
    bool five = false;
    bool overline = false;
    int fours = 0;
    int threes = 0;

    // Renju's foul: no five, and an overline, two fours or two threes.
    bool foul() const { return !five && (overline || fours >= 2 || threes >= 2); }
};
BlackShapes black_shapes(const RefereeBoard& board, int x, int y);

// Renju, black to move at (x, y): whether the move is a foul. False when
// (x, y) is not an empty cell of the board.
bool forbidden(const RefereeBoard& board, int x, int y);

// Every empty point where a black move would be a foul, in scan order
// (row by row from the top, left to right).
std::vector<Coord> forbidden_points(const RefereeBoard& board);

// The result of one move, for a self-play checker.
enum class MoveOutcome {
    Illegal,    // off the board or on a stone
    BlackFoul,  // renju: black played a forbidden point and loses at once
    Win,
    Draw,  // the board is full (renju: or 200 stones on 15 x 15)
    GoesOn,
};
const char* move_outcome_name(MoveOutcome outcome);
std::ostream& operator<<(std::ostream& os, MoveOutcome outcome);

// The outcome of `colour` playing at (x, y) on `board` under `rule`. The
// board is not changed. Whose turn it is is the caller's affair (see
// RefereeBoard::side_to_move).
MoveOutcome outcome_after(const RefereeBoard& board, int x, int y, Square colour, RuleGame rule);

}  // namespace vantrel::testing
