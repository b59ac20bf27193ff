// Cost of setting up a game: a new engine and its reset, as START does, and
// the reset of an engine that has played, as RESTART does.
#include <benchmark/benchmark.h>

#include <memory>

#include "board/engine_object.h"

namespace vantrel {
namespace {

void BM_NewEngineAndReset(benchmark::State& state) {
    for (auto _ : state) {
        auto e = std::make_unique<Engine>();
        e->reset(20);
        benchmark::DoNotOptimize(e->area);
    }
}
BENCHMARK(BM_NewEngineAndReset)->Unit(benchmark::kMicrosecond);

void BM_ResetAfterMoves(benchmark::State& state) {
    auto e = std::make_unique<Engine>();
    for (auto _ : state) {
        e->reset(20);
        e->move(10, 10);
        e->move(11, 11);
        benchmark::DoNotOptimize(e->area);
    }
}
BENCHMARK(BM_ResetAfterMoves)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel
