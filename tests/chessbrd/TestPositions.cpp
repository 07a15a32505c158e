// Shared helpers of the game model tests: loading positions, listing legal pairs, random play, perft.
#include "TestPositions.h"

#include <cctype>
#include <random>
#include <sstream>
#include <stdexcept>

std::string BoardFromPlacement(std::string_view Placement) {
    std::string board;
    for (char c : Placement) {
        if (c == '/') continue;
        if (std::isdigit(static_cast<unsigned char>(c)))
            board.append(static_cast<std::size_t>(c - '0'), ' ');
        else
            board.push_back(c);
    }
    if (board.size() != 64) throw std::invalid_argument("placement does not cover 64 squares");
    return board;
}

void LoadPosition(ChessGame& Game, std::string_view Fen) {
    std::istringstream in{std::string(Fen)};
    std::string placement, side = "w", castling = "-", enPassant = "-";
    in >> placement >> side >> castling >> enPassant;
    Game.ResetGame();
    Game.SetPosition(BoardFromPlacement(placement));
    Game.SetWhiteToMove(side == "w");
    CastleSet rights;
    for (char c : castling) {
        if (c == 'K') rights.Include(WhiteKingSide);
        if (c == 'Q') rights.Include(WhiteQueenSide);
        if (c == 'k') rights.Include(BlackKingSide);
        if (c == 'q') rights.Include(BlackQueenSide);
    }
    Game.SetCastlingAllowed(rights);
    if (enPassant != "-") Game.SetEnPassant(ChessGame::SquareFromName(enPassant));
}

std::vector<Move> LegalMoves(const ChessGame& Game) {
    std::vector<Move> moves;
    for (int from = 1; from <= 64; ++from)
        for (int to = 1; to <= 64; ++to)
            if (Game.IsLegalMove(static_cast<Square>(from), static_cast<Square>(to)))
                moves.emplace_back(static_cast<Square>(from), static_cast<Square>(to));
    return moves;
}

bool AnyLegalPair(const ChessGame& Game) {
    for (int from = 1; from <= 64; ++from)
        for (int to = 1; to <= 64; ++to)
            if (Game.IsLegalMove(static_cast<Square>(from), static_cast<Square>(to))) return true;
    return false;
}

int RandomPlayout(ChessGame& Game, std::uint32_t Seed, int Plies,
                  const std::function<void(ChessGame&)>& Visit) {
    std::mt19937 rng(Seed);
    int played = 0;
    for (; played < Plies; ++played) {
        if (Visit) Visit(Game);
        const std::vector<Move> moves = LegalMoves(Game);
        if (moves.empty()) break;
        const Move move = moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(rng)];
        if (!Game.PerformMove(move.first, move.second)) throw std::logic_error("a listed move was refused");
    }
    return played;
}

namespace {

bool IsPromotion(const ChessGame& Game, const Move& move) {
    const char piece = Game.PieceAt(move.first);
    const int rank = ChessGame::RankOf(move.second);
    return (piece == 'P' && rank == 8) || (piece == 'p' && rank == 1);
}

} // namespace

std::uint64_t Perft(ChessGame& Game, int Depth) {
    const std::vector<Move> moves = LegalMoves(Game);
    if (Depth <= 1) {
        std::uint64_t leaves = 0;
        for (const Move& move : moves) leaves += IsPromotion(Game, move) ? 4 : 1;
        return leaves;
    }
    const int moveNumber = Game.GetCurrentMove();
    const bool whiteToMove = Game.GetWhiteToMove();
    std::uint64_t leaves = 0;
    for (const Move& move : moves) {
        const std::string pieces = IsPromotion(Game, move) ? "qrbn" : "q";
        for (char piece : pieces) {
            Game.OnPromotion = [piece](ChessGame*, Square, Square, char& NewPiece) { NewPiece = piece; };
            if (!Game.PerformMove(move.first, move.second))
                throw std::logic_error("a listed move was refused");
            leaves += Perft(Game, Depth - 1);
            Game.GotoMove(moveNumber, whiteToMove);
        }
    }
    return leaves;
}
