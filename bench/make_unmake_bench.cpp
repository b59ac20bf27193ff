// Cost of a make + undo pair on middle-game positions, the operation every
// search node pays.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "board/engine_object.h"

namespace vantrel {
namespace {

// A game of `stones` pseudo-random moves, each within two cells of the stones
// already placed (the way real games grow), from a fixed seed.
std::unique_ptr<Engine> middle_game(int size, int stones, unsigned seed) {
    auto e = std::make_unique<Engine>();
    e->reset(size);
    std::mt19937 rng(seed);
    e->move(size / 2, size / 2);
    while (e->move_count < stones) {
        const int x = e->area.x_min + static_cast<int>(rng() % (e->area.x_max - e->area.x_min + 1));
        const int y = e->area.y_min + static_cast<int>(rng() % (e->area.y_max - e->area.y_min + 1));
        if (e->cell(x, y).state == EMPTY && e->cell(x, y).near1 > 0) e->make(x, y);
    }
    return e;
}

void BM_MakeUndoPair(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0)), stones = static_cast<int>(state.range(1));
    auto e = middle_game(size, stones, 12345u + static_cast<unsigned>(stones));
    std::vector<std::pair<int, int>> moves;
    for (int y = e->area.y_min; y <= e->area.y_max; ++y)
        for (int x = e->area.x_min; x <= e->area.x_max; ++x)
            if (e->cell(x, y).state == EMPTY) moves.push_back({x, y});
    std::size_t i = 0;
    for (auto _ : state) {
        const auto [x, y] = moves[i];
        e->make(x, y);
        e->undo();
        if (++i == moves.size()) i = 0;
    }
    benchmark::DoNotOptimize(e->hash.hash_check1);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MakeUndoPair)->Args({15, 30})->Args({15, 60})->Args({20, 50})->Args({20, 80});

}  // namespace
}  // namespace vantrel
