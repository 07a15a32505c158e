// ChessEngine: move generation, make and take-back, the attack tests, and the move counts built on them.
#include "ChessEngine.h"

#include "Castling.h"

#include <algorithm>
#include <bit>

namespace {

constexpr int CaptureScore = 1000000;

} // namespace

void ChessEngine::AddMove(int From, int To, int Flags) {
    if ((Flags & mfPawn) && (To < 8 || To >= 56)) {
        AddPromotions(From, To, Flags);
        return;
    }
    MoveEntry& entry = FMoveList[static_cast<std::size_t>(FLast[static_cast<std::size_t>(FPly)]++)];
    entry.Move = EngineMove{static_cast<std::uint8_t>(From), static_cast<std::uint8_t>(To), 0,
                            static_cast<std::uint8_t>(Flags)};
    if (Flags & mfCapture)
        entry.Score =
            CaptureScore + 10 * FPiece[static_cast<std::size_t>(To)] - FPiece[static_cast<std::size_t>(From)];
    else
        entry.Score = FHistoryScore[static_cast<std::size_t>(From)][static_cast<std::size_t>(To)];
}

void ChessEngine::AddPromotions(int From, int To, int Flags) {
    for (int piece = Knight; piece <= Queen; ++piece) {
        MoveEntry& entry = FMoveList[static_cast<std::size_t>(FLast[static_cast<std::size_t>(FPly)]++)];
        entry.Move =
            EngineMove{static_cast<std::uint8_t>(From), static_cast<std::uint8_t>(To),
                       static_cast<std::uint8_t>(piece), static_cast<std::uint8_t>(Flags | mfPromotion)};
        entry.Score = CaptureScore + 10 * piece;
    }
}

// The moves of a knight, bishop, rook, queen or king on s, in the order of walking its direction table
// through the frame: knight and king targets in that order are simply the ascending squares, and along a
// sliding ray the empty squares come outward first, then the capture of the blocker.
void ChessEngine::AddPieceMoves(int Sq, int Piece, bool WithQuiet) {
    const auto q = static_cast<std::size_t>(Sq);
    const std::uint64_t enemy = FOccupied[static_cast<std::size_t>(FXSide)];
    if (!Slides[static_cast<std::size_t>(Piece)]) {
        const std::uint64_t reach = Piece == Knight ? KnightAttackers[q] : KingAttackers[q];
        std::uint64_t targets = reach & (WithQuiet ? ~FOccupied[static_cast<std::size_t>(FSide)] : enemy);
        while (targets != 0) {
            const int t = std::countr_zero(targets);
            targets &= targets - 1;
            AddMove(Sq, t, ((enemy >> t) & 1u) != 0 ? mfCapture : 0);
        }
        return;
    }
    const auto& rays = PieceRays[static_cast<std::size_t>(Piece)];
    const int count = DirectionCount[static_cast<std::size_t>(Piece)];
    const std::uint64_t occupied = FOccupied[White] | FOccupied[Black];
    for (int i = 0; i < count; ++i) {
        const std::size_t d = rays[static_cast<std::size_t>(i)];
        const bool towardsLower = d < 4;
        const std::uint64_t ray = Rays[d][q];
        const std::uint64_t blockers = ray & occupied;
        int blocker = -1;
        std::uint64_t empties = ray;
        if (blockers != 0) {
            blocker = towardsLower ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
            empties &= ~(Rays[d][static_cast<std::size_t>(blocker)] | (std::uint64_t{1} << blocker));
        }
        if (WithQuiet) {
            while (empties != 0) {
                const int t = towardsLower ? 63 - std::countl_zero(empties) : std::countr_zero(empties);
                empties &= ~(std::uint64_t{1} << t);
                AddMove(Sq, t, 0);
            }
        }
        if (blocker >= 0 && ((enemy >> blocker) & 1u) != 0) AddMove(Sq, blocker, mfCapture);
    }
}

void ChessEngine::GenerateMoves() {
    Generate(true);
}

void ChessEngine::GenerateCaptures() {
    Generate(false);
}

// Squares in ascending order, then castling, then en passant: the order decides ties between equal moves.
// Without quiet moves only captures, promotion advances and en-passant captures are added.
void ChessEngine::Generate(bool WithQuiet) {
    const auto ply = static_cast<std::size_t>(FPly);
    FLast[ply] = FFirst[ply];
    std::uint64_t own = FOccupied[static_cast<std::size_t>(FSide)];
    while (own != 0) {
        const int s = std::countr_zero(own);
        own &= own - 1;
        const int piece = FPiece[static_cast<std::size_t>(s)];
        if (piece == Pawn)
            AddPawnMoves(s, WithQuiet);
        else
            AddPieceMoves(s, piece, WithQuiet);
    }
    if (WithQuiet && FCastle != 0) {
        // Whenever the right is there; DoMove looks at the squares.
        for (const CastlingMove& castling : CastlingsOf(FSide == White))
            if (CastleSet{static_cast<std::uint8_t>(FCastle)}.Contains(castling.Right))
                AddMove(ToEngineSquare(castling.KingFrom), ToEngineSquare(castling.KingTo), mfCastle);
    }
    if (FEpSquare != -1) {
        auto ownPawn = [this](int sq) {
            return FColor[static_cast<std::size_t>(sq)] == FSide &&
                   FPiece[static_cast<std::size_t>(sq)] == Pawn;
        };
        const int ep = FEpSquare;
        if (FSide == White) {
            if (FileOfSquare(ep) != 0 && ownPawn(ep + 7))
                AddMove(ep + 7, ep, mfPawn | mfCapture | mfEnPassant);
            if (FileOfSquare(ep) != 7 && ownPawn(ep + 9))
                AddMove(ep + 9, ep, mfPawn | mfCapture | mfEnPassant);
        } else {
            if (FileOfSquare(ep) != 0 && ownPawn(ep - 9))
                AddMove(ep - 9, ep, mfPawn | mfCapture | mfEnPassant);
            if (FileOfSquare(ep) != 7 && ownPawn(ep - 7))
                AddMove(ep - 7, ep, mfPawn | mfCapture | mfEnPassant);
        }
    }
    if (ply + 1 < MaxPly) FFirst[ply + 1] = FLast[ply];
}

void ChessEngine::AddPawnMoves(int s, bool WithQuiet) {
    // White pawns move towards lower squares, black ones towards higher; a pawn standing on its last rank
    // (only in a hand-made position) has nowhere to go.
    const int forward = FSide == White ? -8 : 8;
    const int enemy = FSide == White ? Black : White;
    if (FSide == White ? s < 8 : s >= 56) return;
    const int left = s + forward - 1, right = s + forward + 1; // files a and h have no neighbour outside
    if (FileOfSquare(s) != 0 && FColor[static_cast<std::size_t>(left)] == enemy)
        AddMove(s, left, mfPawn | mfCapture);
    if (FileOfSquare(s) != 7 && FColor[static_cast<std::size_t>(right)] == enemy)
        AddMove(s, right, mfPawn | mfCapture);
    const int ahead = s + forward;
    if (FColor[static_cast<std::size_t>(ahead)] != EmptySquare) return;
    const bool promotes = FSide == White ? s <= 15 : s >= 48;
    if (WithQuiet || promotes) AddMove(s, ahead, mfPawn);
    const bool onStartRank = FSide == White ? s >= 48 : s <= 15;
    if (WithQuiet && onStartRank && FColor[static_cast<std::size_t>(ahead + forward)] == EmptySquare)
        AddMove(s, ahead + forward, mfPawn | mfDoubleStep);
}

bool ChessEngine::DoMove(EngineMove Move) {
    const int from = Move.From;
    const int to = Move.To;
    // Castling is refused with anything between king and rook (the cheap test, first), out of check, or
    // across an attacked square; then the rook jumps.
    if (Move.Flags & mfCastle) {
        const CastlingMove* castling = CastlingByKingTarget(FromEngineSquare(to));
        if (castling == nullptr) return false;
        for (Square s : castling->Between)
            if (s != None && FColor[static_cast<std::size_t>(ToEngineSquare(s))] != EmptySquare) return false;
        if (InCheck(FSide)) return false;
        for (Square s : castling->KingPath)
            if (IsAttacked(ToEngineSquare(s), FXSide)) return false;
        ClearSquare(ToEngineSquare(castling->RookFrom));
        PlacePiece(ToEngineSquare(castling->RookTo), FSide, Rook);
    }

    // A move can only expose its own king when the king was already attacked, the king itself moves, the
    // piece leaves one of the king's lines, or a pawn vanishes en passant; every other move is known legal
    // without looking, which gives the same answer as looking.
    bool mustVerify = true;
    const int king = FKingSquare[static_cast<std::size_t>(FSide)];
    if (!FScanForKings && king >= 0 && from != king && !(Move.Flags & (mfEnPassant | mfCastle)) &&
        (((DiagonalLines[static_cast<std::size_t>(king)] | StraightLines[static_cast<std::size_t>(king)]) >>
          from) &
         1u) == 0) {
        std::int8_t& known = FInCheckAtPly[static_cast<std::size_t>(FPly)];
        if (known < 0) known = IsAttacked(king, FXSide) ? 1 : 0;
        mustVerify = known != 0;
    }

    const int captured = FPiece[static_cast<std::size_t>(to)];
    FUndo[static_cast<std::size_t>(FPly)] = UndoEntry{Move, captured, FCastle, FEpSquare};
    ++FPly;
    if (FPly < MaxPly) FInCheckAtPly[static_cast<std::size_t>(FPly)] = -1;
    FCastle &= CastleMask[static_cast<std::size_t>(from)] & CastleMask[static_cast<std::size_t>(to)];
    if (Move.Flags & mfDoubleStep)
        FEpSquare = FSide == White ? to + 8 : to - 8;
    else
        FEpSquare = -1;

    const int mover = FPiece[static_cast<std::size_t>(from)];
    PlacePiece(to, FSide, Move.Flags & mfPromotion ? Move.Promote : mover);
    ClearSquare(from);
    if (Move.Flags & mfEnPassant) ClearSquare(FSide == White ? to + 8 : to - 8);
    if (mover == King) FKingSquare[static_cast<std::size_t>(FSide)] = to;
    if (captured == King) FKingSquare[static_cast<std::size_t>(FXSide)] = -1;

    std::swap(FSide, FXSide);
    if (mustVerify && InCheck(FXSide)) {
        UndoMove();
        return false;
    }
    return true;
}

void ChessEngine::UndoMove() {
    std::swap(FSide, FXSide);
    --FPly;
    const UndoEntry& undo = FUndo[static_cast<std::size_t>(FPly)];
    const EngineMove move = undo.Move;
    const int from = move.From;
    const int to = move.To;
    FCastle = undo.Castle;
    FEpSquare = undo.EpSquare;

    const int piece = move.Flags & mfPromotion ? Pawn : FPiece[static_cast<std::size_t>(to)];
    PlacePiece(from, FSide, piece);
    if (undo.Captured == EmptySquare)
        ClearSquare(to);
    else
        PlacePiece(to, FXSide, undo.Captured);
    if (piece == King) FKingSquare[static_cast<std::size_t>(FSide)] = from;
    if (undo.Captured == King) FKingSquare[static_cast<std::size_t>(FXSide)] = to;

    if (move.Flags & mfCastle) {
        const CastlingMove* castling = CastlingByKingTarget(FromEngineSquare(to));
        ClearSquare(ToEngineSquare(castling->RookTo));
        PlacePiece(ToEngineSquare(castling->RookFrom), FSide, Rook);
    }
    if (move.Flags & mfEnPassant) PlacePiece(FSide == White ? to + 8 : to - 8, FXSide, Pawn);
}

// Looks from the square for each kind of attacker: the same answer as walking every attacker's moves towards
// it, because each piece's set of directions is symmetric. A slider attacks when it is the nearest occupied
// square along one of the square's rays.
bool ChessEngine::IsAttacked(int Sq, int By) const {
    const auto q = static_cast<std::size_t>(Sq);
    const auto& pieces = FPieceBits[static_cast<std::size_t>(By)];
    if ((PawnAttackers[static_cast<std::size_t>(By)][q] & pieces[Pawn]) != 0) return true;
    if ((KnightAttackers[q] & pieces[Knight]) != 0) return true;
    if ((KingAttackers[q] & pieces[King]) != 0) return true;
    const std::uint64_t occupied = FOccupied[White] | FOccupied[Black];
    auto nearestIs = [&](std::size_t direction, std::uint64_t attackers) {
        const std::uint64_t blockers = Rays[direction][q] & occupied;
        if (blockers == 0) return false;
        // Directions 0..3 run towards lower squares, 4..7 towards higher ones.
        const int nearest = direction < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
        return ((attackers >> nearest) & 1u) != 0;
    };
    const std::uint64_t diagonal = pieces[Bishop] | pieces[Queen];
    if ((diagonal & DiagonalLines[q]) != 0 && (nearestIs(0, diagonal) || nearestIs(2, diagonal) ||
                                               nearestIs(5, diagonal) || nearestIs(7, diagonal)))
        return true;
    const std::uint64_t straight = pieces[Rook] | pieces[Queen];
    return (straight & StraightLines[q]) != 0 && (nearestIs(1, straight) || nearestIs(3, straight) ||
                                                  nearestIs(4, straight) || nearestIs(6, straight));
}

std::uint64_t ChessEngine::Perft(int depth) {
    if (depth <= 0) return 1;
    if (FPly + depth > MaxPly - 1) return 0;
    return PerftNode(depth);
}

std::uint64_t ChessEngine::PerftNode(int depth) {
    if (AtCapacityLimit()) return 0;
    GenerateMoves();
    std::uint64_t count = 0;
    const auto ply = static_cast<std::size_t>(FPly);
    const int last = FLast[ply];
    for (int i = FFirst[ply]; i < last; ++i) {
        if (!DoMove(FMoveList[static_cast<std::size_t>(i)].Move)) continue;
        count += depth == 1 ? 1 : PerftNode(depth - 1);
        UndoMove();
    }
    return count;
}

std::vector<EngineMove> ChessEngine::LegalMoves() {
    std::vector<EngineMove> moves;
    if (AtCapacityLimit()) return moves;
    GenerateMoves();
    const auto ply = static_cast<std::size_t>(FPly);
    for (int i = FFirst[ply]; i < FLast[ply]; ++i) {
        const EngineMove move = FMoveList[static_cast<std::size_t>(i)].Move;
        if (!DoMove(move)) continue;
        UndoMove();
        moves.push_back(move);
    }
    return moves;
}

std::vector<ChessEngine::MoveLeaves> ChessEngine::PerftByMove(int depth) {
    std::vector<MoveLeaves> counts;
    for (const EngineMove& move : LegalMoves()) {
        DoMove(move);
        counts.push_back({move, Perft(depth - 1)});
        UndoMove();
    }
    return counts;
}

std::optional<EnginePosition> ChessEngine::PositionAfter(EngineMove Move) {
    // Only a move the generator makes may reach DoMove: it trusts the flags and the pieces.
    const std::vector<EngineMove> moves = LegalMoves();
    if (std::find(moves.begin(), moves.end(), Move) == moves.end()) return std::nullopt;
    DoMove(Move);
    EnginePosition position = Position();
    UndoMove();
    return position;
}
