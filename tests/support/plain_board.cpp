#include "support/plain_board.h"

namespace vantrel::testing {

PlainBoard::PlainBoard(const Engine& e) : width_(e.board_width), height_(e.board_height) {
    cells_.resize(static_cast<std::size_t>(width_ * height_));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) set(x, y, e.cell(x + MARGIN, y + MARGIN).state);
}

int PlainBoard::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return OFF_BOARD;
    return cells_[y * width_ + x];
}

bool PlainBoard::is_five_point(int x, int y, int p) const {
    if (at(x, y) != EMPTY) return false;
    for (int d = 0; d < DIRECTIONS; ++d) {
        int run = 1;
        for (int k = 1; at(x + k * DX[d], y + k * DY[d]) == p; ++k) ++run;
        for (int k = 1; at(x - k * DX[d], y - k * DY[d]) == p; ++k) ++run;
        if (run >= 5) return true;
    }
    return false;
}

int PlainBoard::count_five_points(int p) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) n += is_five_point(x, y, p) ? 1 : 0;
    return n;
}

}  // namespace vantrel::testing
