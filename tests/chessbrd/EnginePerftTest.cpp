// Perft from the engine's own generator and make/take-back against published counts.
#include "ChessEngine.h"
#include "Fen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr const char* Kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
constexpr const char* RookEndgame = "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1";

bool LongRunsEnabled() {
    return std::getenv("GAMBITRON_LONG") != nullptr;
}

std::uint64_t PerftOf(const std::string& fen, int depth) {
    EnginePosition position;
    std::string error;
    EXPECT_TRUE(ParseFen(fen, position, error)) << error;
    auto engine = std::make_unique<ChessEngine>();
    engine->SetRoot(position);
    engine->ReadBoard();
    const std::uint64_t count = engine->Perft(depth);
    EXPECT_EQ(engine->Position().Board, position.Board) << "perft must leave the board as it found it";
    return count;
}

} // namespace

TEST(EnginePerft, InitialPositionToDepthFour) {
    const std::uint64_t expected[] = {20, 400, 8902, 197281};
    for (int depth = 1; depth <= 4; ++depth)
        EXPECT_EQ(PerftOf(std::string(StartFen), depth), expected[depth - 1]) << "depth " << depth;
}

TEST(EnginePerft, KiwipeteToDepthThree) {
    const std::uint64_t expected[] = {48, 2039, 97862};
    for (int depth = 1; depth <= 3; ++depth)
        EXPECT_EQ(PerftOf(Kiwipete, depth), expected[depth - 1]) << "depth " << depth;
}

TEST(EnginePerft, RookEndgameToDepthFour) {
    const std::uint64_t expected[] = {14, 191, 2812, 43238};
    for (int depth = 1; depth <= 4; ++depth)
        EXPECT_EQ(PerftOf(RookEndgame, depth), expected[depth - 1]) << "depth " << depth;
}

TEST(EnginePerft, CountsByMoveAddUpToTheTotalAndLeaveTheBoard) {
    EnginePosition position;
    std::string error;
    ASSERT_TRUE(ParseFen(Kiwipete, position, error)) << error;
    auto engine = std::make_unique<ChessEngine>();
    engine->SetRoot(position);
    engine->ReadBoard();
    const std::vector<ChessEngine::MoveLeaves> counts = engine->PerftByMove(3);
    ASSERT_EQ(counts.size(), 48u);
    std::uint64_t total = 0;
    for (const ChessEngine::MoveLeaves& count : counts) total += count.Leaves;
    EXPECT_EQ(total, 97862u);
    EXPECT_EQ(engine->Position(), position);
}

TEST(EnginePerft, DeepCountsMatch) {
    if (!LongRunsEnabled()) GTEST_SKIP() << "set GAMBITRON_LONG to run the deep perft counts";
    EXPECT_EQ(PerftOf(std::string(StartFen), 5), 4865609u);
    EXPECT_EQ(PerftOf(Kiwipete, 4), 4085603u);
    EXPECT_EQ(PerftOf(RookEndgame, 5), 674624u);
}
