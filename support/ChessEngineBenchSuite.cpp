// Running the engine benchmark positions.
#include "ChessEngineBenchSuite.h"

#include "ChessEngine.h"
#include "Fen.h"

#include <chrono>
#include <memory>
#include <string>

BenchTotals RunBenchSuite(int Depth) {
    BenchTotals totals;
    for (std::string_view fen : BenchPositions) {
        EnginePosition position;
        std::string error;
        ParseFen(fen, position, error);
        position.SearchDepth = Depth;
        auto engine = std::make_unique<ChessEngine>();
        engine->SetRoot(position);
        const auto start = std::chrono::steady_clock::now();
        engine->ThinkMove();
        totals.Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        totals.Nodes += engine->Nodes();
    }
    return totals;
}
