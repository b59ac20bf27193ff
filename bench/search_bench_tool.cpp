// vantrel-bench: searches a fixed set of positions through iterative
// deepening to a fixed depth, with time enough that the clock never cuts a
// search, and prints per position the move, score, nodes (moves made) and
// time, then the total nodes, which is the search's signature: the same
// binary on the same positions gives the same total on every run. A change
// of the signature means the search itself changed.
//
// Usage: vantrel-bench [depth [table_mb]]   (default depth DEFAULT_BENCH_DEPTH;
// table_mb: the transposition tables' megabytes, as INFO hash_size would
// give them, instead of the default 8 MB)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_positions.h"
#include "board/engine_object.h"
#include "search/iterative_deepening.h"

using namespace vantrel;
using namespace vantrel::bench;

int main(int argc, char** argv) {
    int depth = DEFAULT_BENCH_DEPTH;
    if (argc > 1) {
        depth = std::atoi(argv[1]);
        if (depth < FIRST_DEPTH || depth > MAX_SEARCH_DEPTH) {
            std::fprintf(stderr, "usage: vantrel-bench [depth %d..%d]\n", FIRST_DEPTH, MAX_SEARCH_DEPTH);
            return 2;
        }
    }

    int table_bits = SEARCH_TABLE_BITS;
    if (argc > 2) table_bits = table_bits_for(std::uint64_t{std::strtoull(argv[2], nullptr, 10)} << 20);
    HashTables tables(table_bits);
    std::printf("tables: 2^%d entries each, %llu MB\n", table_bits,
                static_cast<unsigned long long>((TABLE_PAIR_BYTES << table_bits) >> 20));
    auto engine = std::make_unique<Engine>(tables);
    Engine& e = *engine;
    long long total_nodes = 0;
    double total_ms = 0;
    std::printf("%-28s %7s %7s %5s %12s %9s\n", "position", "move", "score", "depth", "nodes", "ms");
    for (const BenchPosition& p : bench_positions()) {
        const auto moves = moves_of(p);
        // Every position starts a new game, as RESTART does: results do not
        // depend on the order of the positions.
        if (!moves_are_legal(moves, p)) {
            std::fprintf(stderr, "bad bench position: %s\n", p.name);
            return 1;
        }
        set_up(e, p, moves, depth);
        const auto start = std::chrono::steady_clock::now();
        const DeepeningReport r = iterative_deepening_report(e);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

        char move[16];
        std::snprintf(move, sizeof move, "%d,%d", r.move.x, r.move.y);
        std::printf("%-28s %7s %7d %5d %12d %9.1f\n", p.name, move, r.score, r.depth, e.node_count, ms);
        total_nodes += e.node_count;
        total_ms += ms;
    }
    std::printf("\nTotal nodes: %lld\n", total_nodes);
    std::printf("Total time:  %.0f ms\n", total_ms);
    std::printf("Nodes/s:     %.0f\n", total_ms > 0 ? total_nodes * 1000.0 / total_ms : 0.0);
    std::printf("Bench: %lld\n", total_nodes);
    return 0;
}
