// Helpers for the engine tests: loading a FEN and reaching the engine's internals.
#pragma once

#include "ChessEngine.h"
#include "Fen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

// Opens the engine's internals to the tests, and offers reference versions of its speed-ups written the
// slow, obvious way (scan every square, walk every ray through the frame) to compare against.
class EngineProbe : public ChessEngine {
public:
    using ChessEngine::AlphaBeta;
    using ChessEngine::AtCapacityLimit;
    using ChessEngine::DoMove;
    using ChessEngine::Evaluate;
    using ChessEngine::FFirst;
    using ChessEngine::FHistoryScore;
    using ChessEngine::FPieceSquare;
    using ChessEngine::FPly;
    using ChessEngine::FPvLength;
    using ChessEngine::FStopRequested;
    using ChessEngine::GenerateCaptures;
    using ChessEngine::GenerateEvasionCandidates;
    using ChessEngine::GenerateEvasions;
    using ChessEngine::GenerateMoves;
    using ChessEngine::InCheck;
    using ChessEngine::IsAttacked;
    using ChessEngine::MaxOrderedEvasions;
    using ChessEngine::MightEndCheck;
    using ChessEngine::NoteCheck;
    using ChessEngine::NoTie;
    using ChessEngine::OrderCandidatesByScore;
    using ChessEngine::OrderEvasions;
    using ChessEngine::PeekMove;
    using ChessEngine::PickMove;
    using ChessEngine::Quiescence;
    using ChessEngine::UndoMove;

    // The moves generated for the current ply and the engine board.
    int FirstSlot() const { return FFirst[static_cast<std::size_t>(FPly)]; }
    int LastSlot() const { return FLast[static_cast<std::size_t>(FPly)]; }
    const MoveEntry& Slot(int i) const { return FMoveList[static_cast<std::size_t>(i)]; }
    int Ply() const { return FPly; }
    int PieceAt(int Sq) const { return FPiece[static_cast<std::size_t>(Sq)]; }
    int SideToMove() const { return FSide; }
    int CastleRights() const { return FCastle; }
    int EpSquare() const { return FEpSquare; }
    // One king of each colour, as PeekMove and the evasion order need.
    bool SingleKings() const { return !FScanForKings && FKingSquare[White] >= 0 && FKingSquare[Black] >= 0; }

    // Attack test by walking every attacker's moves towards the square.
    bool ReferenceIsAttacked(int sq, int by) const {
        for (int s = 0; s < 64; ++s) {
            if (FColor[s] != by) continue;
            const int piece = FPiece[s];
            if (piece == Pawn) {
                const int left = by == White ? s - 9 : s + 7;
                const int right = by == White ? s - 7 : s + 9;
                if ((s % 8 != 0 && left == sq) || (s % 8 != 7 && right == sq)) return true;
                continue;
            }
            for (int d = 0; d < DirectionCount[piece]; ++d) {
                for (int t = s;;) {
                    t = Mailbox[Mailbox64[t] + Directions[piece][d]];
                    if (t == -1) break;
                    if (t == sq) return true;
                    if (FColor[t] != EmptySquare || !Slides[piece]) break;
                }
            }
        }
        return false;
    }

    // Evaluation by two passes over the squares, without the incremental sums or the pawn cache.
    int ReferenceEvaluate() const {
        int score[2] = {0, 0};
        int pawns[2][10] = {};
        for (int s = 0; s < 64; ++s) {
            if (FColor[s] == EmptySquare) continue;
            score[FColor[s]] += FPieceSquare[FColor[s]][FPiece[s]][s];
            if (FPiece[s] == Pawn) ++pawns[FColor[s]][s % 8 + 1];
        }
        for (int s = 0; s < 64; ++s) {
            const int c = FColor[s];
            if (c == EmptySquare) continue;
            const int o = 1 - c;
            const int f = s % 8 + 1;
            if (FPiece[s] == Pawn) {
                if (pawns[c][f] > 1) score[c] -= 5;
                if (pawns[c][f - 1] == 0 && pawns[c][f + 1] == 0) score[c] -= pawns[o][f] == 0 ? 30 : 20;
                if (pawns[o][f - 1] == 0 && pawns[o][f] == 0 && pawns[o][f + 1] == 0)
                    score[c] += 2 * FPieceSquare[c][Pawn][s];
            } else if (FPiece[s] == Rook && pawns[c][f] == 0) {
                score[c] += pawns[o][f] == 0 ? 15 : 10;
            }
        }
        return SideToMove() == White ? score[0] - score[1] : score[1] - score[0];
    }

    // The capture search the plain way: every move made, every node counted where it is searched, and the
    // moves brought up by the selection over the whole list.
    int ReferenceQuiescence(int alpha, int beta, std::uint64_t& Nodes) {
        ++Nodes;
        if (AtCapacityLimit()) return std::clamp(Evaluate(), alpha, beta);
        const bool inCheck = InCheck(SideToMove());
        if (inCheck) {
            GenerateMoves();
        } else {
            const int eval = Evaluate();
            if (eval >= beta) return beta;
            alpha = std::max(alpha, eval);
            GenerateCaptures();
        }
        bool legalMoveFound = false;
        for (int i = FirstSlot(); i < LastSlot(); ++i) {
            PickMove(i);
            if (!DoMove(Slot(i).Move)) continue;
            const int x = -ReferenceQuiescence(-beta, -alpha, Nodes);
            UndoMove();
            legalMoveFound = true;
            if (x >= beta) return beta;
            alpha = std::max(alpha, x);
        }
        return inCheck && !legalMoveFound ? FPly - Infinity : alpha;
    }

    // The (from, to) pairs of the non-pawn moves in the order of walking the direction tables square by
    // square.
    std::vector<std::pair<int, int>> ReferencePieceMoves() const {
        std::vector<std::pair<int, int>> moves;
        for (int s = 0; s < 64; ++s) {
            const int piece = FPiece[s];
            if (FColor[s] != SideToMove() || piece == Pawn) continue;
            for (int d = 0; d < DirectionCount[piece]; ++d) {
                for (int t = s;;) {
                    t = Mailbox[Mailbox64[t] + Directions[piece][d]];
                    if (t == -1) break;
                    if (FColor[t] != EmptySquare) {
                        if (FColor[t] != SideToMove()) moves.emplace_back(s, t);
                        break;
                    }
                    moves.emplace_back(s, t);
                    if (!Slides[piece]) break;
                }
            }
        }
        return moves;
    }
};

inline EnginePosition PositionFromFen(const std::string& fen, int depth = 1) {
    EnginePosition position;
    std::string error;
    EXPECT_TRUE(ParseFen(fen, position, error)) << fen << ": " << error;
    position.SearchDepth = depth;
    return position;
}

inline std::unique_ptr<EngineProbe> EngineAt(const std::string& fen, int depth = 1) {
    auto engine = std::make_unique<EngineProbe>();
    engine->SetRoot(PositionFromFen(fen, depth));
    engine->ReadBoard();
    return engine;
}

inline int EngineSquare(const char* name) {
    return ('8' - name[1]) * 8 + (name[0] - 'a');
}

inline std::string BestMoveText(ChessEngine& engine) {
    engine.ThinkMove();
    return engine.HasBestMove() ? ChessEngine::MoveText(engine.BestMove()) : "none";
}
