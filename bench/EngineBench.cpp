// Search speed of the engine: the bench suite at depth 6 (nodes and nodes per second) and the time to depth 6
// for each bench position.
#include "ChessEngine.h"
#include "ChessEngineBenchSuite.h"
#include "Fen.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

EnginePosition BenchPosition(std::size_t index, int depth) {
    EnginePosition position;
    std::string error;
    ParseFen(BenchPositions[index], position, error);
    position.SearchDepth = depth;
    return position;
}

void BM_BenchSuite(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t nodes = 0;
    for (auto _ : state) {
        const BenchTotals totals = RunBenchSuite(depth);
        nodes += totals.Nodes;
        benchmark::DoNotOptimize(totals);
    }
    state.counters["nodes"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kAvgIterations);
    state.counters["nps"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BenchSuite)->Arg(BenchDepth)->Unit(benchmark::kMillisecond)->Iterations(1);

// Time to depth 6 of one position, searched by a fresh engine each time as the board's thread would.
void BM_TimeToDepth6(benchmark::State& state) {
    const auto index = static_cast<std::size_t>(state.range(0));
    auto engine = std::make_unique<ChessEngine>();
    std::uint64_t nodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        engine = std::make_unique<ChessEngine>();
        engine->SetRoot(BenchPosition(index, 6));
        state.ResumeTiming();
        engine->ThinkMove();
        nodes += engine->Nodes();
    }
    state.SetLabel(std::string(BenchPositions[index]));
    state.counters["nodes"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kAvgIterations);
    state.counters["nps"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TimeToDepth6)
    ->DenseRange(0, static_cast<int>(BenchPositions.size()) - 1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
