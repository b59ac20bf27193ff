// Test helper: the stones of a position on a plain grid, with the rules of
// the game worked out from scratch (runs of stones, free windows), so tests
// can check the engine's table-driven answers against first principles.
#pragma once

#include <vector>

#include "board/engine_object.h"

namespace vantrel::testing {

class PlainBoard {
public:
    static constexpr int OFF_BOARD = -1;

    // The stones of e, in protocol coordinates.
    explicit PlainBoard(const Engine& e);

    int width() const { return width_; }
    int height() const { return height_; }
    // 0 or 1 for a stone, EMPTY, or OFF_BOARD beyond the edges.
    int at(int x, int y) const;
    void set(int x, int y, int state) { cells_[y * width_ + x] = state; }

    // An empty cell where a stone of p would make five or more in a row.
    bool is_five_point(int x, int y, int p) const;
    int count_five_points(int p) const;

private:
    int width_, height_;
    std::vector<int> cells_;
};

}  // namespace vantrel::testing
