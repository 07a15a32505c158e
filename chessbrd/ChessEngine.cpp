// ChessEngine: constant tables, root set-up, move generation, make and take-back, attack tests, the search
// and perft.
#include "ChessEngine.h"

#include "Castling.h"

#include <algorithm>
#include <bit>

namespace {

constexpr int FileOfSq(int sq) {
    return sq & 7;
}

// Upper bound of the pseudo-legal moves one piece can have (a queen in the centre), plus two castlings and
// two en-passant captures per position; used to keep every ply's moves inside the shared list.
constexpr int MaxMovesPerPiece = 27;
constexpr int ExtraMovesPerPosition = 4;

constexpr int CaptureScore = 1000000;

// Ordering counters are 32-bit and may run over in a very long search: wrap around like the machine does
// instead of overflowing.
constexpr int WrappingAdd(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
constexpr int PvBonus = 10000000;

} // namespace

ChessEngine::ChessEngine() {
    Mailbox.fill(-1);
    for (int row = 0; row < 8; ++row) {
        for (int file = 0; file < 8; ++file) {
            const int frame = 21 + 10 * row + file;
            Mailbox[static_cast<std::size_t>(frame)] = row * 8 + file;
            Mailbox64[static_cast<std::size_t>(row * 8 + file)] = frame;
        }
    }
    DirectionCount = {0, 8, 4, 4, 8, 8};
    Directions[Pawn] = {0, 0, 0, 0, 0, 0, 0, 0};
    Directions[Knight] = {-21, -19, -12, -8, 8, 12, 19, 21};
    Directions[Bishop] = {-11, -9, 9, 11, 0, 0, 0, 0};
    Directions[Rook] = {-10, -1, 1, 10, 0, 0, 0, 0};
    Directions[Queen] = {-11, -10, -9, -1, 1, 9, 10, 11};
    Directions[King] = {-11, -10, -9, -1, 1, 9, 10, 11};
    Slides = {false, false, true, true, true, false};
    for (int s = 0; s < 64; ++s)
        CastleMask[static_cast<std::size_t>(s)] =
            CastleSet::All().Without(RightsLostAt(FromEngineSquare(s))).Bits;
    FillEvaluationTables();
    FillAttackTables();
    FColor.fill(EmptySquare);
    FPiece.fill(EmptySquare);
    FKingSquare.fill(-1);
}

void ChessEngine::FillAttackTables() {
    for (int sq = 0; sq < 64; ++sq) {
        const auto q = static_cast<std::size_t>(sq);
        for (int s = 0; s < 64; ++s) {
            const std::uint64_t bit = std::uint64_t{1} << s;
            if ((FileOfSq(s) != 0 && s - 9 == sq) || (FileOfSq(s) != 7 && s - 7 == sq))
                PawnAttackers[White][q] |= bit;
            if ((FileOfSq(s) != 0 && s + 7 == sq) || (FileOfSq(s) != 7 && s + 9 == sq))
                PawnAttackers[Black][q] |= bit;
        }
        const int frame = Mailbox64[q];
        for (int offset : Directions[Knight]) {
            const int t = Mailbox[static_cast<std::size_t>(frame + offset)];
            if (t != -1) KnightAttackers[q] |= std::uint64_t{1} << t;
        }
        for (std::size_t d = 0; d < 8; ++d) {
            const int offset = Directions[Queen][d];
            const int next = Mailbox[static_cast<std::size_t>(frame + offset)];
            if (next != -1) KingAttackers[q] |= std::uint64_t{1} << next;
            for (int f = frame + offset; Mailbox[static_cast<std::size_t>(f)] != -1; f += offset)
                Rays[d][q] |= std::uint64_t{1} << Mailbox[static_cast<std::size_t>(f)];
        }
        // Queen directions 0, 2, 5, 7 are the diagonals.
        DiagonalLines[q] = Rays[0][q] | Rays[2][q] | Rays[5][q] | Rays[7][q];
        StraightLines[q] = Rays[1][q] | Rays[3][q] | Rays[4][q] | Rays[6][q];
    }
    for (std::size_t p = Knight; p <= King; ++p) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(DirectionCount[p]); ++i) {
            for (std::size_t d = 0; d < 8; ++d)
                if (Directions[Queen][d] == Directions[p][i]) PieceRays[p][i] = d;
        }
    }
}

void ChessEngine::ReadBoard() {
    FOccupied.fill(0);
    for (auto& bits : FPieceBits) bits.fill(0);
    for (auto& files : FPawnsOnFile) files.fill(0);
    int kingCount[2] = {0, 0};
    FKingSquare.fill(-1);
    for (int s = 0; s < 64; ++s) {
        const char c = FRoot.Board[static_cast<std::size_t>(s)];
        int colour = EmptySquare;
        if (c >= 'B' && c <= 'R')
            colour = White;
        else if (c >= 'b' && c <= 'r')
            colour = Black;
        int piece = EmptySquare;
        switch (colour == White ? static_cast<char>(c - 'A' + 'a') : c) {
        case 'p':
            piece = Pawn;
            break;
        case 'n':
            piece = Knight;
            break;
        case 'b':
            piece = Bishop;
            break;
        case 'r':
            piece = Rook;
            break;
        case 'q':
            piece = Queen;
            break;
        case 'k':
            piece = King;
            break;
        default:
            break;
        }
        // A letter of a colour that names no piece (only possible in a hand-made snapshot) is an empty
        // square, so that colour and piece always agree.
        if (piece == EmptySquare) colour = EmptySquare;
        FColor[static_cast<std::size_t>(s)] = colour;
        FPiece[static_cast<std::size_t>(s)] = piece;
        if (colour != EmptySquare) {
            FOccupied[static_cast<std::size_t>(colour)] |= std::uint64_t{1} << s;
            FPieceBits[static_cast<std::size_t>(colour)][static_cast<std::size_t>(piece)] |= std::uint64_t{1}
                                                                                             << s;
            if (piece == Pawn)
                ++FPawnsOnFile[static_cast<std::size_t>(colour)][static_cast<std::size_t>(FileOfSq(s) + 1)];
        }
        if (piece == King) {
            if (kingCount[colour]++ == 0) FKingSquare[static_cast<std::size_t>(colour)] = s;
        }
    }
    FScanForKings = kingCount[White] > 1 || kingCount[Black] > 1;

    FSide = FRoot.WhiteToMove ? White : Black;
    FXSide = 1 - FSide;

    // A right enters only with its king and rook at home: castling moves a rook that must be there, and a
    // right without it would make the engine choose a move the board refuses.
    auto holds = [this](int sq, int colour, int piece) {
        return FColor[static_cast<std::size_t>(sq)] == colour &&
               FPiece[static_cast<std::size_t>(sq)] == piece;
    };
    CastleSet rights;
    for (const CastlingMove& castling : CastlingMoves) {
        const int colour = castling.White ? White : Black;
        if (FRoot.Castling.Contains(castling.Right) &&
            holds(ToEngineSquare(castling.KingFrom), colour, King) &&
            holds(ToEngineSquare(castling.RookFrom), colour, Rook))
            rights.Include(castling.Right);
    }
    FCastle = rights.Bits;

    // The en-passant square is taken only when a pawn can really have passed over it: otherwise taking back
    // an en-passant capture would put back a pawn that was never there.
    FEpSquare = -1;
    if (FRoot.EnPassant >= A8 && FRoot.EnPassant <= H1) {
        const int ep = ToEngineSquare(FRoot.EnPassant);
        const bool consistent = FSide == White ? ep >= 16 && ep < 24 && holds(ep + 8, Black, Pawn)
                                               : ep >= 40 && ep < 48 && holds(ep - 8, White, Pawn);
        if (consistent && FColor[static_cast<std::size_t>(ep)] == EmptySquare) FEpSquare = ep;
    }

    FPly = 0;
    FFirst[0] = 0;
    FInCheckAtPly[0] = -1;
    PrepareEvaluation();
    for (auto& row : FHistoryScore) row.fill(0);
    FNodes = 0;
    FQNodes = 0;
    FHasBestMove = false;
}

void ChessEngine::ThinkMove() {
    ReadBoard();
    const int depthLimit = std::clamp(FRoot.SearchDepth, MinSearchDepth, MaxSearchDepth);

    // Find out first whether there is any legal move, so that "no move" is reported instead of a stale one.
    bool anyLegal = false;
    EngineMove firstLegal;
    GenerateMoves();
    for (int i = FFirst[0]; i < FLast[0] && !anyLegal; ++i) {
        if (DoMove(FMoveList[static_cast<std::size_t>(i)].Move)) {
            UndoMove();
            anyLegal = true;
            firstLegal = FMoveList[static_cast<std::size_t>(i)].Move;
        }
    }

    FRootMoveChosen = false;
    bool iterationCompleted = false;
    for (int depth = 1; depth <= depthLimit; ++depth) {
        if (FStopRequested.load(std::memory_order_relaxed)) break;
        FFollowPv = true;
        const int score = AlphaBeta(-Infinity, Infinity, depth);
        if (FStopRequested.load(std::memory_order_relaxed)) break;
        iterationCompleted = true;
        if (OnIteration) {
            IterationReport report;
            report.Depth = depth;
            report.Score = score;
            report.Nodes = Nodes();
            report.Pv = FPv[0].data();
            report.PvLength = FPvLength[0];
            OnIteration(report);
        }
    }
    // Only a score outside the window (material far beyond any real game) leaves the root without a chosen
    // move although moves exist; then the first legal move is played rather than none.
    FHasBestMove = anyLegal && (FRootMoveChosen || iterationCompleted);
    FBestMove = FRootMoveChosen ? FPv[0][0] : firstLegal;
}

bool ChessEngine::AtCapacityLimit() const {
    if (FPly >= MaxPly - 1) return true;
    const int first = FFirst[static_cast<std::size_t>(FPly)];
    if (first + MaxMovesPerPiece * 64 + ExtraMovesPerPosition <= MoveListSize) return false;
    const int bound =
        MaxMovesPerPiece * std::popcount(FOccupied[static_cast<std::size_t>(FSide)]) + ExtraMovesPerPosition;
    return first + bound > MoveListSize;
}

int ChessEngine::StaticScore(int alpha, int beta) {
    FPvLength[static_cast<std::size_t>(FPly)] = FPly;
    return std::clamp(Evaluate(), alpha, beta);
}

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
            if (FileOfSq(ep) != 0 && ownPawn(ep + 7)) AddMove(ep + 7, ep, mfPawn | mfCapture | mfEnPassant);
            if (FileOfSq(ep) != 7 && ownPawn(ep + 9)) AddMove(ep + 9, ep, mfPawn | mfCapture | mfEnPassant);
        } else {
            if (FileOfSq(ep) != 0 && ownPawn(ep - 9)) AddMove(ep - 9, ep, mfPawn | mfCapture | mfEnPassant);
            if (FileOfSq(ep) != 7 && ownPawn(ep - 7)) AddMove(ep - 7, ep, mfPawn | mfCapture | mfEnPassant);
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
    if (FileOfSq(s) != 0 && FColor[static_cast<std::size_t>(left)] == enemy)
        AddMove(s, left, mfPawn | mfCapture);
    if (FileOfSq(s) != 7 && FColor[static_cast<std::size_t>(right)] == enemy)
        AddMove(s, right, mfPawn | mfCapture);
    const int ahead = s + forward;
    if (FColor[static_cast<std::size_t>(ahead)] != EmptySquare) return;
    const bool promotes = FSide == White ? s <= 15 : s >= 48;
    if (WithQuiet || promotes) AddMove(s, ahead, mfPawn);
    const bool onStartRank = FSide == White ? s >= 48 : s <= 15;
    if (WithQuiet && onStartRank && FColor[static_cast<std::size_t>(ahead + forward)] == EmptySquare)
        AddMove(s, ahead + forward, mfPawn | mfDoubleStep);
}

// Castling is refused out of check, with anything between king and rook, or across an attacked square; then
// the rook jumps and nothing else has changed yet. Kept out of DoMove, which every other move runs through.
bool ChessEngine::MoveCastlingRook(int KingTo) {
    const CastlingMove* castling = CastlingByKingTarget(FromEngineSquare(KingTo));
    if (castling == nullptr || InCheck(FSide)) return false;
    for (Square s : castling->Between)
        if (s != None && FColor[static_cast<std::size_t>(ToEngineSquare(s))] != EmptySquare) return false;
    for (Square s : castling->KingPath)
        if (IsAttacked(ToEngineSquare(s), FXSide)) return false;
    ClearSquare(ToEngineSquare(castling->RookFrom));
    PlacePiece(ToEngineSquare(castling->RookTo), FSide, Rook);
    return true;
}

void ChessEngine::ReturnCastlingRook(int KingTo) {
    const CastlingMove* castling = CastlingByKingTarget(FromEngineSquare(KingTo));
    ClearSquare(ToEngineSquare(castling->RookTo));
    PlacePiece(ToEngineSquare(castling->RookFrom), FSide, Rook);
}

bool ChessEngine::DoMove(EngineMove Move) {
    const int from = Move.From;
    const int to = Move.To;
    if ((Move.Flags & mfCastle) && !MoveCastlingRook(to)) return false;

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

    if (move.Flags & mfCastle) ReturnCastlingRook(to);
    if (move.Flags & mfEnPassant) PlacePiece(FSide == White ? to + 8 : to - 8, FXSide, Pawn);
}

bool ChessEngine::InCheck(int Colour) const {
    if (!FScanForKings) {
        const int king = FKingSquare[static_cast<std::size_t>(Colour)];
        return king >= 0 && IsAttacked(king, 1 - Colour);
    }
    for (int s = 0; s < 64; ++s) {
        if (FPiece[static_cast<std::size_t>(s)] == King && FColor[static_cast<std::size_t>(s)] == Colour)
            return IsAttacked(s, 1 - Colour);
    }
    return false;
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

void ChessEngine::PickMove(int Slot) {
    const int last = FLast[static_cast<std::size_t>(FPly)];
    int best = Slot;
    std::int32_t bestScore = FMoveList[static_cast<std::size_t>(Slot)].Score;
    for (int i = Slot + 1; i < last; ++i) {
        const std::int32_t score = FMoveList[static_cast<std::size_t>(i)].Score;
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    if (best != Slot)
        std::swap(FMoveList[static_cast<std::size_t>(Slot)], FMoveList[static_cast<std::size_t>(best)]);
}

void ChessEngine::MarkPvMove() {
    FFollowPv = false;
    const EngineMove pv = FPv[0][static_cast<std::size_t>(FPly)];
    const int last = FLast[static_cast<std::size_t>(FPly)];
    for (int i = FFirst[static_cast<std::size_t>(FPly)]; i < last; ++i) {
        MoveEntry& entry = FMoveList[static_cast<std::size_t>(i)];
        if (entry.Move.From == pv.From && entry.Move.To == pv.To) {
            entry.Score = WrappingAdd(entry.Score, PvBonus);
            FFollowPv = true;
            return;
        }
    }
}

void ChessEngine::CopyPvFromChild(EngineMove Move) {
    const auto ply = static_cast<std::size_t>(FPly);
    auto& row = FPv[ply];
    const auto& childRow = FPv[ply + 1];
    row[ply] = Move;
    const int childLength = FPvLength[ply + 1];
    for (int j = FPly + 1; j < childLength; ++j)
        row[static_cast<std::size_t>(j)] = childRow[static_cast<std::size_t>(j)];
    FPvLength[ply] = childLength;
    if (FPly == 0) FRootMoveChosen = true;
}

int ChessEngine::AlphaBeta(int alpha, int beta, int depth) {
    if (FStopRequested.load(std::memory_order_relaxed)) return 0;
    if (depth == 0) return Quiescence(alpha, beta);
    ++FNodes;
    // Past the capacity of the ply tables or the move list the node is scored statically.
    if (AtCapacityLimit()) return StaticScore(alpha, beta);
    const int ply = FPly;
    FPvLength[static_cast<std::size_t>(ply)] = ply;
    const bool inCheck = InCheck(FSide);
    FInCheckAtPly[static_cast<std::size_t>(ply)] = inCheck ? 1 : 0;
    if (inCheck) ++depth;
    GenerateMoves();
    if (FFollowPv) MarkPvMove();

    bool legalMoveFound = false;
    const int last = FLast[static_cast<std::size_t>(ply)];
    for (int i = FFirst[static_cast<std::size_t>(ply)]; i < last; ++i) {
        if (FStopRequested.load(std::memory_order_relaxed)) break;
        PickMove(i);
        const EngineMove move = FMoveList[static_cast<std::size_t>(i)].Move;
        if (!DoMove(move)) continue;
        legalMoveFound = true;
        const int x = -AlphaBeta(-beta, -alpha, depth - 1);
        UndoMove();
        if (x > alpha) {
            FHistoryScore[move.From][move.To] = WrappingAdd(FHistoryScore[move.From][move.To], depth);
            if (x >= beta) return beta;
            alpha = x;
            CopyPvFromChild(move);
        }
    }
    if (!legalMoveFound) return inCheck ? ply - Infinity : 0;
    return alpha;
}

int ChessEngine::Quiescence(int alpha, int beta) {
    ++FQNodes;
    if (AtCapacityLimit()) return StaticScore(alpha, beta);
    const int ply = FPly;
    FPvLength[static_cast<std::size_t>(ply)] = ply;
    const bool inCheck = InCheck(FSide);
    FInCheckAtPly[static_cast<std::size_t>(ply)] = inCheck ? 1 : 0;
    if (inCheck) {
        GenerateMoves();
    } else {
        const int x = Evaluate();
        if (x >= beta) return beta;
        if (x > alpha) alpha = x;
        GenerateCaptures();
    }
    if (FFollowPv) MarkPvMove();

    bool legalMoveFound = false;
    const int last = FLast[static_cast<std::size_t>(ply)];
    for (int i = FFirst[static_cast<std::size_t>(ply)]; i < last; ++i) {
        PickMove(i);
        const EngineMove move = FMoveList[static_cast<std::size_t>(i)].Move;
        if (!DoMove(move)) continue;
        legalMoveFound = true;
        const int x = -Quiescence(-beta, -alpha);
        UndoMove();
        if (x > alpha) {
            if (x >= beta) return beta;
            alpha = x;
            CopyPvFromChild(move);
        }
    }
    if (inCheck && !legalMoveFound) return ply - Infinity;
    return alpha;
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

EnginePosition ChessEngine::Position() const {
    EnginePosition position;
    for (int s = 0; s < 64; ++s) {
        const int piece = FPiece[static_cast<std::size_t>(s)];
        char letter = ' ';
        if (piece != EmptySquare) {
            letter = "pnbrqk"[piece];
            if (FColor[static_cast<std::size_t>(s)] == White) letter = static_cast<char>(letter - 'a' + 'A');
        }
        position.Board[static_cast<std::size_t>(s)] = letter;
    }
    position.WhiteToMove = FSide == White;
    position.Castling = CastleSet{static_cast<std::uint8_t>(FCastle)};
    position.EnPassant = FromEngineSquare(FEpSquare);
    position.SearchDepth = FRoot.SearchDepth;
    return position;
}

std::string ChessEngine::MoveText(EngineMove Move) {
    std::string text;
    for (int sq : {static_cast<int>(Move.From), static_cast<int>(Move.To)}) {
        text += static_cast<char>('a' + sq % 8);
        text += static_cast<char>('8' - sq / 8);
    }
    if (Move.Flags & mfPromotion) text += "pnbrqk"[Move.Promote];
    return text;
}
