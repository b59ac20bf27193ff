// Black's fouls in renju, judged on the engine's board (see renju_fouls.h).
#include "board/renju_fouls.h"

namespace vantrel {
namespace {

// Places a black stone whoever is to move, and takes it back: make and undo
// give a stone to the side to move, and undo gives the turn back to the
// stone's owner, so the side is set before and put back after.
class BlackStone {
public:
    BlackStone(Engine& e, int x, int y) : e_(e), side_(e.side) {
        e_.side = BLACK;
        e_.other = WHITE;
        e_.make(x, y);
    }
    ~BlackStone() {
        e_.undo();
        e_.side = side_;
        e_.other = 1 - side_;
    }
    BlackStone(const BlackStone&) = delete;
    BlackStone& operator=(const BlackStone&) = delete;

private:
    Engine& e_;
    int side_;
};

bool playable_empty(const Engine& e, int x, int y) {
    return x >= MARGIN && y >= MARGIN && x < e.board_width + MARGIN && y < e.board_height + MARGIN &&
           e.cells[x][y].state == EMPTY;
}

// With black's stone on (x, y): whether its line d is a real three. One more
// black stone on that line must make a straight four that holds the stone,
// so the point lies within three cells with nothing but black stones
// between; and that point must make no five and be no foul itself.
bool real_three(Engine& e, int x, int y, int d) {
    for (int sign = -1; sign <= 1; sign += 2)
        for (int k = 1; k <= 3; ++k) {
            const int px = x + sign * k * DX[d], py = y + sign * k * DY[d];
            if (e.cells[px][py].state == BLACK) continue;
            // Only the first cell past the black stones each way can join
            // the stone's run.
            if (!playable_empty(e, px, py)) break;
            const Cell& p = e.cells[px][py];
            if (p.line_type[d][BLACK] == LINE_OPEN_FOUR && p.status[BLACK] != STATUS_FIVE && !black_foul(e, px, py))
                return true;
            break;
        }
    return false;
}

}  // namespace

bool black_foul(Engine& e, int x, int y) {
    const Cell& c = e.cells[x][y];
    const int status = c.status[BLACK];
    if (status == STATUS_FOUL) return true;
    if (!foul_in_doubt(status)) return false;
    int threes[DIRECTIONS], n = 0;
    for (int d = 0; d < DIRECTIONS; ++d)
        if (c.line_type[d][BLACK] == LINE_OPEN_THREE) threes[n++] = d;
    if (n < 2) return false;
    const BlackStone stone(e, x, y);
    int real = 0;
    for (int i = 0; i < n && real < 2; ++i) real += real_three(e, x, y, threes[i]);
    return real >= 2;
}

int forbidden_points(Engine& e, Point* out) {
    if (e.rule != Rule::Renju) return 0;
    int n = 0;
    for (int y = MARGIN; y < e.board_height + MARGIN; ++y)
        for (int x = MARGIN; x < e.board_width + MARGIN; ++x)
            if (e.cells[x][y].state == EMPTY && black_foul(e, x, y))
                out[n++] = Point{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
    return n;
}

}  // namespace vantrel
