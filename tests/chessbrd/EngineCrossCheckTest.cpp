// The engine's generator against the board's own rules: two independent implementations of the moves of chess
// must agree on every position that random play reaches.
#include "ChessGame.h"
#include "EngineTestSupport.h"

#include <random>
#include <set>
#include <utility>

namespace {

using Pair = std::pair<int, int>;

std::set<Pair> BoardMoves(const ChessGame& game) {
    std::set<Pair> moves;
    for (int from = 1; from <= 64; ++from)
        for (int to = 1; to <= 64; ++to)
            if (game.IsLegalMove(static_cast<Square>(from), static_cast<Square>(to))) moves.emplace(from, to);
    return moves;
}

// Promotions count once: the board asks for the piece separately.
std::set<Pair> EngineMoves(ChessEngine& engine, const EnginePosition& position) {
    engine.SetRoot(position);
    engine.ReadBoard();
    std::set<Pair> moves;
    for (const EngineMove& move : engine.LegalMoves()) moves.emplace(move.From + 1, move.To + 1);
    return moves;
}

void LoadInto(ChessGame& game, const std::string& fen) {
    const EnginePosition position = PositionFromFen(fen);
    game.SetPosition(std::string(position.Board.begin(), position.Board.end()));
    game.SetWhiteToMove(position.WhiteToMove);
    game.SetCastlingAllowed(position.Castling);
    if (position.EnPassant != None) game.SetEnPassant(position.EnPassant);
}

} // namespace

TEST(EngineCrossCheck, GeneratorAgreesWithTheBoardRulesDuringRandomPlay) {
    const std::vector<std::string> starts = {
        std::string(StartFen),
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    };
    auto engine = std::make_unique<ChessEngine>();
    std::mt19937 random(2024);
    int compared = 0;
    for (int game = 0; game < 30; ++game) {
        ChessGame board;
        LoadInto(board, starts[static_cast<std::size_t>(game) % starts.size()]);
        for (int ply = 0; ply < 80; ++ply) {
            // A threefold repetition makes the board refuse every move; the engine keeps no draw rules.
            if (board.IsThreefoldRepetition()) break;
            const std::set<Pair> expected = BoardMoves(board);
            const std::set<Pair> actual = EngineMoves(*engine, board.Snapshot(1));
            ASSERT_EQ(actual, expected)
                << "game " << game << " ply " << ply << ": " << FormatFen(board.Snapshot(1));
            ++compared;
            if (expected.empty()) break;
            auto it = expected.begin();
            std::advance(it, static_cast<long>(random() % expected.size()));
            ASSERT_TRUE(board.PerformMove(static_cast<Square>(it->first), static_cast<Square>(it->second)));
        }
    }
    EXPECT_GT(compared, 1000);
}
