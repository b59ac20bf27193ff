// Cost per call of the three leaf-level search components, on middle-game
// positions: the static evaluation, the outcome check and candidate
// generation (with and without the sort the searches apply to it).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "board/engine_object.h"
#include "search/candidates.h"
#include "search/evaluation.h"
#include "search/outcome_check.h"

namespace vantrel {
namespace {

std::uint64_t next_random(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A game of `stones` pseudo-random moves from a fixed seed, each next to a
// stone already placed, that leaves neither player a five point or an
// open-four point: the quiet positions that most search nodes see, where the
// outcome check decides nothing and the evaluation runs in full.
std::unique_ptr<Engine> quiet_middle_game(int size, int stones) {
    auto e = std::make_unique<Engine>();
    e->reset(size);
    std::uint64_t rng = 0x5EED0000ULL + static_cast<std::uint64_t>(size * 1000 + stones);
    e->move(size / 2, size / 2);
    for (int tries = 0; e->move_count < stones && tries < 1000000; ++tries) {
        const int w = e->area.x_max - e->area.x_min + 1, h = e->area.y_max - e->area.y_min + 1;
        const int x = e->area.x_min + static_cast<int>(next_random(rng) % static_cast<std::uint64_t>(w));
        const int y = e->area.y_min + static_cast<int>(next_random(rng) % static_cast<std::uint64_t>(h));
        if (e->cell(x, y).state != EMPTY || e->cell(x, y).near1 == 0) continue;
        e->make(x, y);
        const auto& n = e->status_count;
        if (n[0][9] + n[0][10] + n[1][9] + n[1][10] != 0) e->undo();
    }
    e->ply = 0;
    return e;
}

int moves_made_by_check(Engine& e) {
    const int before = e.node_count;
    outcome_check(e);
    return e.node_count - before;
}

void label(benchmark::State& state, const Engine& e) {
    state.counters["stones"] = e.move_count;
    state.SetItemsProcessed(state.iterations());
}

void BM_Evaluate(benchmark::State& state) {
    auto e = quiet_middle_game(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(evaluate(*e));
    label(state, *e);
}

// Quiet positions still hold fours with open threes; when the opponent can
// make a four too, the check plays those moves out.
void BM_OutcomeCheck(benchmark::State& state) {
    auto e = quiet_middle_game(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(outcome_check(*e));
    state.counters["moves_made"] = static_cast<double>(moves_made_by_check(*e));
    label(state, *e);
}

// The opponent has a single five point: the check scans for it, blocks and
// checks the position after the block.
void BM_OutcomeCheckForcedBlock(benchmark::State& state) {
    auto e = quiet_middle_game(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    // Find a move for the side to move that leaves it a single five point,
    // then pass the move to the opponent by playing one quiet stone for it.
    bool found = false;
    for (int y = e->area.y_min; y <= e->area.y_max && !found; ++y)
        for (int x = e->area.x_min; x <= e->area.x_max && !found; ++x) {
            if (e->cell(x, y).state != EMPTY || e->cell(x, y).status[e->side] < 6) continue;
            const int mover = e->side;
            e->make(x, y);
            found = e->status_count[mover][10] == 1 && e->status_count[e->side][10] == 0;
            if (!found) e->undo();
        }
    if (!found) {
        state.SkipWithError("no single five point in this position");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(outcome_check(*e));
    state.counters["moves_made"] = static_cast<double>(moves_made_by_check(*e));
    label(state, *e);
}

void BM_GenerateCandidates(benchmark::State& state) {
    auto e = quiet_middle_game(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    CandidateList list;
    for (auto _ : state) {
        generate_candidates(*e, list);
        benchmark::DoNotOptimize(list.count);
        benchmark::ClobberMemory();
    }
    state.counters["candidates"] = list.count;
    label(state, *e);
}

void BM_GenerateAndSortCandidates(benchmark::State& state) {
    auto e = quiet_middle_game(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    CandidateList list;
    for (auto _ : state) {
        generate_candidates(*e, list);
        sort_candidates(list);
        benchmark::DoNotOptimize(list.entries[0]);
        benchmark::ClobberMemory();
    }
    state.counters["candidates"] = list.count;
    label(state, *e);
}

#define MIDDLE_GAMES ->Args({15, 30})->Args({15, 50})->Args({15, 80})->Args({20, 40})->Args({20, 80})
BENCHMARK(BM_Evaluate) MIDDLE_GAMES;
BENCHMARK(BM_OutcomeCheck) MIDDLE_GAMES;
BENCHMARK(BM_OutcomeCheckForcedBlock) MIDDLE_GAMES;
BENCHMARK(BM_GenerateCandidates) MIDDLE_GAMES;
BENCHMARK(BM_GenerateAndSortCandidates) MIDDLE_GAMES;

}  // namespace
}  // namespace vantrel
