// The engine's generator and its make against the board's own rules and move routine: two independent
// implementations of the moves of chess must agree on every position that random play reaches.
#include "ChessGame.h"
#include "EngineTestSupport.h"

#include <algorithm>
#include <cstdlib>
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
    for (const EngineMove& move : engine.LegalMoves())
        moves.emplace(FromEngineSquare(move.From), FromEngineSquare(move.To));
    return moves;
}

// The engine's move for a pair the board accepts; a promotion is to a queen, as on the board.
EngineMove EngineMoveFor(ChessEngine& engine, const Pair& pair) {
    const std::vector<EngineMove> moves = engine.LegalMoves();
    const auto move = std::find_if(moves.begin(), moves.end(), [&](const EngineMove& m) {
        return FromEngineSquare(m.From) == pair.first && FromEngineSquare(m.To) == pair.second &&
               (!(m.Flags & mfPromotion) || m.Promote == ChessEngine::Queen);
    });
    EXPECT_NE(move, moves.end());
    return move == moves.end() ? EngineMove{} : *move;
}

void LoadInto(ChessGame& game, const std::string& fen) {
    const EnginePosition position = PositionFromFen(fen);
    game.SetPosition(std::string(position.Board.begin(), position.Board.end()));
    game.SetWhiteToMove(position.WhiteToMove);
    game.SetCastlingAllowed(position.Castling);
    if (position.EnPassant != None) game.SetEnPassant(position.EnPassant);
}

} // namespace

TEST(EngineCrossCheck, GeneratorAndMakeAgreeWithTheBoardDuringRandomPlay) {
    const std::vector<std::string> starts = {
        std::string(StartFen),
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
        // Rooks facing each other on open files, so that corners are taken and retaken.
        "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
    };
    const int games = std::getenv("GAMBITRON_LONG") != nullptr ? 600 : 36;
    auto engine = std::make_unique<ChessEngine>();
    std::mt19937 random(2024);
    int compared = 0;
    for (int game = 0; game < games; ++game) {
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
            // The engine's make predicts the board's move: letters, side, en passant, and the castling rights
            // as the engine takes them in.
            const std::optional<EnginePosition> predicted =
                engine->PositionAfter(EngineMoveFor(*engine, *it));
            ASSERT_TRUE(predicted.has_value());
            ASSERT_TRUE(board.PerformMove(static_cast<Square>(it->first), static_cast<Square>(it->second)));
            engine->SetRoot(board.Snapshot(1));
            engine->ReadBoard();
            ASSERT_EQ(engine->Position(), *predicted)
                << "game " << game << " ply " << ply << ": " << FormatFen(board.Snapshot(1));
        }
    }
    EXPECT_GT(compared, games * 30);
    RecordProperty("ComparedPositions", compared);
}
