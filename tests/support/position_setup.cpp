#include "support/position_setup.h"

#include <stdexcept>

namespace vantrel::testing {

std::unique_ptr<Engine> new_engine(int width, int height) {
    auto e = std::make_unique<Engine>();
    e->reset_rectangle(width, height);
    return e;
}

std::unique_ptr<Engine> engine_from_moves(int size, const std::vector<std::pair<int, int>>& moves) {
    auto e = new_engine(size);
    for (auto [x, y] : moves) e->move(x, y);
    return e;
}

std::unique_ptr<Engine> engine_from_picture(const std::vector<std::string>& rows) {
    std::vector<std::pair<int, int>> stones[2];
    int width = 0;
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        int x = 0;
        for (char ch : rows[y]) {
            if (ch == ' ') continue;
            if (ch == 'X' || ch == 'x')
                stones[0].push_back({x, y});
            else if (ch == 'O' || ch == 'o')
                stones[1].push_back({x, y});
            else if (ch != '.' && ch != '+')
                throw std::invalid_argument("bad picture character");
            ++x;
        }
        if (y == 0)
            width = x;
        else if (x != width)
            throw std::invalid_argument("picture rows differ in width");
    }
    const auto n0 = stones[0].size(), n1 = stones[1].size();
    if (n0 != n1 && n0 != n1 + 1) throw std::invalid_argument("picture: X must equal O or lead by one");
    auto e = new_engine(width, static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < n0; ++i) {
        e->move(stones[0][i].first, stones[0][i].second);
        if (i < n1) e->move(stones[1][i].first, stones[1][i].second);
    }
    return e;
}

std::string picture_of(const Engine& e) {
    std::string out;
    for (int y = MARGIN; y < e.board_height + MARGIN; ++y) {
        for (int x = MARGIN; x < e.board_width + MARGIN; ++x) {
            const int s = e.cell(x, y).state;
            out += s == 0 ? 'X' : s == 1 ? 'O' : '.';
        }
        out += '\n';
    }
    return out;
}

}  // namespace vantrel::testing
