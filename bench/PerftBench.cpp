// Move generation with make and take-back: perft of the standard positions, every move made (no counting of
// the last ply's moves without playing them).
#include "ChessEngine.h"
#include "Fen.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

struct PerftCase {
    const char* Fen;
    int Depth;
};

constexpr PerftCase Cases[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 5},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 4},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5},
};

void BM_Perft(benchmark::State& state) {
    const PerftCase& perftCase = Cases[state.range(0)];
    EnginePosition position;
    std::string error;
    ParseFen(perftCase.Fen, position, error);
    auto engine = std::make_unique<ChessEngine>();
    engine->SetRoot(position);
    engine->ReadBoard();
    std::uint64_t nodes = 0;
    for (auto _ : state) nodes += engine->Perft(perftCase.Depth);
    state.SetLabel(std::string(perftCase.Fen) + " depth " + std::to_string(perftCase.Depth));
    state.counters["nodes"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kAvgIterations);
    state.counters["nps"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Perft)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
