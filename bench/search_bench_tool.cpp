// vantrel-bench: searches a fixed set of positions through iterative
// deepening to a fixed depth, with time enough that the clock never cuts a
// search, and prints per position the move, score, nodes (moves made) and
// time, then the total nodes, which is the search's signature: the same
// binary on the same positions gives the same total on every run. A change
// of the signature means the search itself changed. Then the same positions
// under each rule game (standard, renju, caro, caro with exactly five):
// nodes, time, speed against free-style, and a signature line per rule.
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
#include "board/rule_tables.h"
#include "search/iterative_deepening.h"

using namespace vantrel;
using namespace vantrel::bench;

namespace {

constexpr Rule RULES_BENCHED[] = {Rule::Standard, Rule::Renju, Rule::Caro, Rule::CaroExact};

// One word per rule for the signature lines.
const char* rule_label(Rule rule) {
    switch (rule) {
    case Rule::Standard: return "standard";
    case Rule::Renju: return "renju";
    case Rule::Caro: return "caro";
    case Rule::CaroExact: return "caro-exact";
    case Rule::FreeStyle: break;
    }
    return "free-style";
}

struct RuleRun {
    bool ok = true;
    long long nodes = 0;
    double ms = 0;
};

double nodes_per_second(const RuleRun& r) { return r.ms > 0 ? r.nodes * 1000.0 / r.ms : 0.0; }

// Every position searched under `rule`, each a new game as RESTART gives, so
// that results do not depend on the order of the positions; a line per
// position when `table` is set.
RuleRun run_positions(Engine& e, Rule rule, int depth, bool table) {
    RuleRun run;
    e.set_rule(rule);
    for (const BenchPosition& p : bench_positions()) {
        const auto moves = moves_of(p);
        if (!moves_are_legal(moves, p)) {
            std::fprintf(stderr, "bad bench position: %s\n", p.name);
            run.ok = false;
            return run;
        }
        set_up(e, p, moves, depth);
        const auto start = std::chrono::steady_clock::now();
        const DeepeningReport r = iterative_deepening_report(e);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (table) {
            char move[16];
            std::snprintf(move, sizeof move, "%d,%d", r.move.x, r.move.y);
            std::printf("%-28s %7s %7d %5d %12d %9.1f\n", p.name, move, r.score, r.depth, e.node_count, ms);
        }
        run.nodes += e.node_count;
        run.ms += ms;
    }
    return run;
}

}  // namespace

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
    std::printf("%-28s %7s %7s %5s %12s %9s\n", "position", "move", "score", "depth", "nodes", "ms");
    const RuleRun free_style = run_positions(e, Rule::FreeStyle, depth, true);
    if (!free_style.ok) return 1;
    std::printf("\nTotal nodes: %lld\n", free_style.nodes);
    std::printf("Total time:  %.0f ms\n", free_style.ms);
    std::printf("Nodes/s:     %.0f\n", nodes_per_second(free_style));
    std::printf("Bench: %lld\n", free_style.nodes);

    // The same positions under each rule game: its own signature.
    std::printf("\n%-20s %12s %9s %12s %8s\n", "rule", "nodes", "ms", "nodes/s", "of free");
    RuleRun runs[RULE_GAMES];
    for (const Rule rule : RULES_BENCHED) {
        RuleRun& r = runs[static_cast<int>(rule)];
        r = run_positions(e, rule, depth, false);
        if (!r.ok) return 1;
        std::printf("%-20s %12lld %9.0f %12.0f %7.0f%%\n", rule_name(rule), r.nodes, r.ms, nodes_per_second(r),
                    100.0 * nodes_per_second(r) / nodes_per_second(free_style));
    }
    for (const Rule rule : RULES_BENCHED)
        std::printf("Bench %s: %lld\n", rule_label(rule), runs[static_cast<int>(rule)].nodes);
    return 0;
}
