// The built-in chess engine: its own board, move generation, make and take-back, a fail-hard alpha-beta
// search with check extension and quiescence, and the static evaluation. Everything lives in fixed arrays of
// the object so that a search allocates nothing; the engine thread class derives from it. The object is
// large: create it with new or std::make_unique.
#pragma once

#include "Castling.h"
#include "ChessTypes.h"

#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

// A move as the engine stores it; copied as one 32-bit value.
struct EngineMove {
    std::uint8_t From = 0;    // engine square 0..63 (a8 = 0, h1 = 63)
    std::uint8_t To = 0;      // engine square
    std::uint8_t Promote = 0; // piece code 1..4 of a promotion, else 0
    std::uint8_t Flags = 0;   // mf* bits

    friend constexpr bool operator==(EngineMove, EngineMove) = default;
};

inline constexpr std::uint8_t mfCapture = 1;
inline constexpr std::uint8_t mfCastle = 2;
inline constexpr std::uint8_t mfEnPassant = 4;
inline constexpr std::uint8_t mfDoubleStep = 8;
inline constexpr std::uint8_t mfPawn = 16;
inline constexpr std::uint8_t mfPromotion = 32;

// The squares of the a-file in engine numbering (a8 = 0, h1 = 63); shifted by f, those of file f.
inline constexpr std::uint64_t EngineFileA = 0x0101010101010101ull;

// The number of set bits, without the processor's own count, which the baseline x86-64 lacks.
constexpr int CountSquares(std::uint64_t Bits) {
    Bits -= (Bits >> 1) & 0x5555555555555555ull;
    Bits = (Bits & 0x3333333333333333ull) + ((Bits >> 2) & 0x3333333333333333ull);
    Bits = (Bits + (Bits >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((Bits * 0x0101010101010101ull) >> 56); // the sum of the bytes, in the top one
}

struct MoveEntry {
    EngineMove Move;
    std::int32_t Score = 0;
};

// Written at every make, read at its take-back field by field with the widths it was written with (a load
// spanning several narrower stores would wait for them); the piece-square sums come back from it instead of
// being worked out.
struct UndoEntry {
    EngineMove Move;
    std::uint8_t Captured = 6; // piece code that stood on the destination, 6 when it was empty
    std::uint8_t Castle = 0;
    std::int8_t EpSquare = -1;
    std::array<int, 2> Score{}; // FScore before the move, written and read whole
};

// One finished iteration of ThinkMove, for progress reports. Pv points into the engine and is valid only
// during the call.
struct IterationReport {
    int Depth = 0;
    int Score = 0;
    std::uint64_t Nodes = 0;
    const EngineMove* Pv = nullptr;
    int PvLength = 0;
};

class ChessEngine {
public:
    // Colour and piece codes of the engine board.
    static constexpr int White = 0, Black = 1;
    static constexpr int Pawn = 0, Knight = 1, Bishop = 2, Rook = 3, Queen = 4, King = 5;
    static constexpr int EmptySquare = 6;

    static constexpr int MaxPly = 64;
    static constexpr int MoveListSize = 4096;
    static constexpr int Infinity = 10000;

    ChessEngine();
    virtual ~ChessEngine() = default;
    ChessEngine(const ChessEngine&) = delete;
    ChessEngine& operator=(const ChessEngine&) = delete;

    // The position ReadBoard copies; the board hands a snapshot, the engine never reads the board itself.
    void SetRoot(const EnginePosition& Position) { FRoot = Position; }
    const EnginePosition& Root() const { return FRoot; }

    void ReadBoard();
    void ThinkMove();

    // The move chosen by the last ThinkMove; HasBestMove is false when the side to move had no legal move
    // (or a stop came before any move was chosen), and then nothing may be played.
    bool HasBestMove() const { return FHasBestMove; }
    EngineMove BestMove() const { return FBestMove; }
    Square BestFrom() const { return FromEngineSquare(FBestMove.From); }
    Square BestTo() const { return FromEngineSquare(FBestMove.To); }

    // Nodes visited since the last ReadBoard: full-width nodes (depth > 0) and quiescence nodes.
    std::uint64_t FullNodes() const { return FNodes; }
    std::uint64_t QuiescenceNodes() const { return FQNodes; }
    std::uint64_t Nodes() const { return FNodes + FQNodes; }

    // Called after every iteration that was not stopped; must not block for long.
    std::function<void(const IterationReport&)> OnIteration;

    // The rest works on the current engine position, outside a search, and allocates where it returns a list.

    // Leaf count of the move tree below the current position, every move made and taken back. Depths that
    // would run past the ply limit give 0.
    std::uint64_t Perft(int depth);

    // The leaf count below each legal move of the current position, in generation order.
    struct MoveLeaves {
        EngineMove Move;
        std::uint64_t Leaves = 0;
    };
    std::vector<MoveLeaves> PerftByMove(int depth);

    // Legal moves of the current position in generation order.
    std::vector<EngineMove> LegalMoves();

    // The position after Move, or nothing when Move is not one of LegalMoves; the engine board stays as it
    // is.
    std::optional<EnginePosition> PositionAfter(EngineMove Move);

    // The current engine position as board letters.
    EnginePosition Position() const;

    // Coordinate notation, e.g. "e2e4", "e7e8q".
    static std::string MoveText(EngineMove Move);

protected:
    // Set from another thread to abandon the search; the search only reads it.
    std::atomic<bool> FStopRequested{false};

    // Move generation and make/take-back on the current ply.
    //
    // The search and its helpers take Regular: true when each colour has one king and the side not to move
    // is not in check at the root. Then every move made is legal, so no king is ever taken and both king
    // squares are always known, and the tests for the odd positions drop out of the hot paths.
    void GenerateMoves();
    void GenerateCaptures();
    template <bool Regular = false> bool DoMove(EngineMove Move);
    void UndoMove();
    template <bool Regular> bool KnownLegalityApplies(EngineMove Move) const;
    bool LegalBeforeMake(EngineMove Move);
    void MakeMove(EngineMove Move);
    // Evaluate and InCheck of the side to move after Move (one LegalBeforeMake allowed, taking no king, with
    // the other king on the board), found without making it.
    template <bool Regular = false> void PeekMove(EngineMove Move, int& Eval, bool& Check);
    int EvaluateFrom(std::uint64_t WhitePawns, std::uint64_t BlackPawns, std::uint64_t WhiteRooks,
                     std::uint64_t BlackRooks, int WhiteScore, int BlackScore, int Side);
    // Plays Move and searches the quiescence node after it; false (and nothing searched) when it is illegal.
    template <bool Regular> bool QuiescenceChild(EngineMove Move, int alpha, int beta, int& Score);
    template <bool Regular = false> bool InCheck(int Colour) const;
    bool IsAttacked(int Sq, int By) const;
    // IsAttacked on a board with the squares Occupied taken, where only the pieces of By inside Pieces
    // count: the board as a move would leave it.
    bool AttackedWith(int Sq, int By, std::uint64_t Occupied, std::uint64_t Pieces) const;
    std::uint64_t EvasionSquares(int KingSq) const;

    void PrepareEvaluation();
    int Evaluate();

    template <bool Regular = false> int AlphaBeta(int alpha, int beta, int depth);
    template <bool Regular = false> int Quiescence(int alpha, int beta);

    // True when this node must be scored statically: the next ply or the moves of this one might not fit.
    bool AtCapacityLimit() const;

    static constexpr int FileOfSquare(int Sq) { return Sq & 7; }

    // Upper bound of the pseudo-legal moves one piece can have (a queen in the centre), plus two castlings
    // and two en-passant captures per position; used to keep every ply's moves inside the shared list.
    static constexpr int MaxMovesPerPiece = 27;
    static constexpr int ExtraMovesPerPosition = 4;

    void FillEvaluationTables();
    void FillAttackTables();
    void GenerateEvasions();
    // The moves GenerateEvasions notes, alone and in no particular order, without castling (never legal in
    // check).
    void GenerateEvasionCandidates();
    template <bool WithQuiet, bool Evasions> void Generate();
    MoveEntry* AddEnPassantMoves(MoveEntry* Out) const;
    void NoteCandidate(int Index);
    struct PawnMoveSets {
        std::uint64_t Left = 0, Right = 0, Step = 0, Double = 0;
        int Forward = 0; // the step towards promotion
    };
    PawnMoveSets PawnSets() const;
    template <bool WithQuiet> MoveEntry* AddPawnMoves(MoveEntry* Out, int Sq, const PawnMoveSets& Sets) const;
    template <bool WithQuiet> MoveEntry* AddPieceMoves(MoveEntry* Out, int Sq, int Piece) const;
    template <bool WithQuiet, std::size_t Direction>
    MoveEntry* AddRayMoves(MoveEntry* Out, int Sq, int Piece, std::uint64_t Occupied,
                           std::uint64_t Enemy) const;
    MoveEntry* AddMove(MoveEntry* Out, int From, int To, int Flags) const;
    std::array<int, 2> PawnStructure(std::uint64_t WhitePawns, std::uint64_t BlackPawns) const;
    struct PawnEntry;
    void FillPawnEntry(PawnEntry& Entry, std::uint64_t WhitePawns, std::uint64_t BlackPawns) const;
    void PickMove(int Slot);
    template <bool Regular = false> void NoteCheck(bool InCheck);
    bool MightEndCheck(EngineMove Move) const;
    // The moves of an in-check node that MightEndCheck lets through, as list indices in the order the search
    // tries them; -1 when that order needs the full selection (or more than fit).
    static constexpr int MaxOrderedEvasions = 32;
    int OrderEvasions(std::array<int, MaxOrderedEvasions>& Order) const;
    // The same from GenerateEvasionCandidates' list, by falling score alone, leaving out illegal moves among
    // equal scores; -1 when more than fit. Where two legal ones still score the same (or en passant does),
    // the order stops before the moves of that score and TieScore is it; otherwise TieScore is NoTie.
    static constexpr std::int32_t NoTie = std::numeric_limits<std::int32_t>::max();
    int OrderCandidatesByScore(std::array<int, MaxOrderedEvasions>& Order, std::int32_t& TieScore);
    // Counts the legal moves of the list scoring Score or less and returns true when each of them would stand
    // pat in its child at alpha; otherwise counts nothing and returns false.
    template <bool Regular> bool CountStandingPat(std::int32_t Score, int alpha, bool& LegalMoveFound);
    // The candidates GenerateEvasions noted, in list order; room for every move of one ply.
    std::array<int, MaxMovesPerPiece * 64 + ExtraMovesPerPosition> FCandidates{};
    int FCandidateCount = 0;
    void MarkPvMove();

    int StaticScore(int alpha, int beta);
    std::uint64_t PerftNode(int depth);
    void PlacePiece(int Sq, int Colour, int Piece);
    void ClearSquare(int Sq);
    void CopyPvFromChild(EngineMove Move);

    // The engine board
    std::array<int, 64> FColor{};
    std::array<int, 64> FPiece{};
    int FSide = White;
    int FXSide = Black;
    int FCastle = 0; // CastleSet bits
    int FEpSquare = -1;
    int FPly = 0;

    std::array<MoveEntry, MoveListSize> FMoveList{};
    std::array<int, MaxPly> FFirst{};
    std::array<int, MaxPly> FLast{};
    std::array<UndoEntry, MaxPly> FUndo{};
    std::array<std::array<int, 64>, 64> FHistoryScore{};
    std::array<std::array<EngineMove, MaxPly>, MaxPly> FPv{};
    std::array<int, MaxPly> FPvLength{};
    bool FFollowPv = false;

    // By colour, piece and square; the row of EmptySquare stays zero, so that an empty square adds nothing.
    std::array<std::array<std::array<int, 64>, 7>, 2> FPieceSquare{};

    // Constant tables
    std::array<int, 120> Mailbox{};
    std::array<int, 64> Mailbox64{};
    std::array<int, 6> DirectionCount{};
    std::array<std::array<int, 8>, 6> Directions{};
    std::array<bool, 6> Slides{};
    // The rights that survive a move touching each square.
    std::array<int, 64> CastleMask{};
    std::array<int, 6> PieceValue{};
    std::array<int, 64> PawnTable{};
    std::array<int, 64> ShieldKingside{};
    std::array<int, 64> ShieldQueenside{};
    std::array<int, 64> MinorTable{};
    std::array<int, 64> KingMiddleTable{};
    std::array<int, 64> KingEndTable{};

    // Attack masks derived from the tables above, for IsAttacked: the squares from which a pawn of each
    // colour, a knight or a king attacks a square, and each square's rays in the queen's directions.
    std::array<std::array<std::uint64_t, 64>, 2> PawnAttackers{};
    std::array<std::uint64_t, 64> KnightAttackers{};
    std::array<std::uint64_t, 64> KingAttackers{};
    std::array<std::array<std::uint64_t, 64>, 8> Rays{};
    std::array<std::uint64_t, 64> DiagonalLines{};
    std::array<std::uint64_t, 64> StraightLines{};
    // The queen direction leading from the first square to the second where they share a line.
    std::array<std::array<std::uint8_t, 64>, 64> LineDirection{};
    // Queen directions 0, 2, 5, 7 are the diagonals.
    static constexpr bool IsDiagonal(std::size_t Direction) {
        return Direction == 0 || Direction == 2 || Direction == 5 || Direction == 7;
    }
    // Each piece's directions as indices into the queen's directions, the order in which they are walked.
    std::array<std::array<std::size_t, 8>, 6> PieceRays{};
    // The squares each piece could move to from a square on some board, for GenerateEvasions and to pass over
    // pieces without captures.
    std::array<std::array<std::uint64_t, 64>, 6> PieceReach{};
    // The squares from which a piece of each colour and kind gives check to a king on a square by contact
    // (pawn, knight, king), and the lines along which it can (bishop, rook, queen), for PeekMove.
    std::array<std::array<std::array<std::uint64_t, 64>, 6>, 2> ContactChecks{};
    std::array<std::array<std::uint64_t, 64>, 6> LineChecks{};

    // Pawn-structure scores of both colours by the pawns' squares; the prepared pawn values they include
    // change with every search, so PrepareEvaluation empties it.
    // Half a cache line each, so that a look-up touches one line.
    struct alignas(32) PawnEntry {
        std::uint64_t WhitePawns = ~std::uint64_t{0};
        std::uint64_t BlackPawns = ~std::uint64_t{0};
        std::array<int, 2> Score{};
        // The files with pawns of each colour (bit 0 = file a), for the rooks.
        std::array<std::uint8_t, 2> FilesWithPawns{};
    };
    // A power of two, indexed by the top bits of the hash. A search meets thousands of pawn structures: with
    // 2048 entries three of four fills brought back a structure evicted earlier in the same search, and 8192
    // entries need almost two fifths fewer fills. Twice that was slower again, and so were two ways a set.
    static constexpr std::size_t PawnCacheSize = 8192;
    std::array<PawnEntry, PawnCacheSize> FPawnCache{};

    // Speed-ups that answer the same questions as the board arrays: the squares of each colour (scanned in
    // ascending order, which is the generation order) and of each piece, the king squares and the sum of the
    // prepared piece-square values of each colour.
    std::array<std::uint64_t, 2> FOccupied{};
    std::array<std::array<std::uint64_t, 6>, 2> FPieceBits{};
    std::array<int, 2> FScore{};
    std::array<int, 2> FKingSquare{};
    // With several kings of one colour the "first king" moves around; then InCheck scans like the board does.
    bool FScanForKings = false;
    // Whether the root is regular, as the search and its helpers take it (see above DoMove).
    bool FRegular = false;
    // Whether the side to move is in check in the position at each ply: -1 not yet known, 0 no, 1 yes, 2 yes
    // with its evasion squares (see EvasionSquares) in FEvasionSquares.
    std::array<std::int8_t, MaxPly + 1> FInCheckAtPly{}; // one more for the make at the last ply
    std::array<std::uint64_t, MaxPly> FEvasionSquares{};
    // What a quiescence node's parent already found out about it by PeekMove: whether the side to move is in
    // check (-1 when not looked at) and the evaluation.
    std::array<std::int8_t, MaxPly + 1> FKnownCheck{};
    std::array<int, MaxPly + 1> FKnownEval{};

    EnginePosition FRoot;
    std::uint64_t FNodes = 0;
    std::uint64_t FQNodes = 0;
    bool FHasBestMove = false;
    EngineMove FBestMove;
    bool FRootMoveChosen = false;
};

// Every change of a square goes through these two, which keep the speed-up fields in step with the board.
inline void ChessEngine::PlacePiece(int Sq, int Colour, int Piece) {
    ClearSquare(Sq);
    const auto s = static_cast<std::size_t>(Sq);
    const auto c = static_cast<std::size_t>(Colour);
    const auto p = static_cast<std::size_t>(Piece);
    const std::uint64_t bit = std::uint64_t{1} << Sq;
    FColor[s] = Colour;
    FPiece[s] = Piece;
    FOccupied[c] |= bit;
    FPieceBits[c][p] |= bit;
    FScore[c] += FPieceSquare[c][p][s];
}

inline void ChessEngine::ClearSquare(int Sq) {
    const auto s = static_cast<std::size_t>(Sq);
    if (FColor[s] == EmptySquare) return;
    const auto c = static_cast<std::size_t>(FColor[s]);
    const auto p = static_cast<std::size_t>(FPiece[s]);
    const std::uint64_t bit = std::uint64_t{1} << Sq;
    FOccupied[c] &= ~bit;
    FPieceBits[c][p] &= ~bit;
    FScore[c] -= FPieceSquare[c][p][s];
    FColor[s] = EmptySquare;
    FPiece[s] = EmptySquare;
}

// The search asks these two at every node, so they stay inline.
inline bool ChessEngine::AtCapacityLimit() const {
    if (FPly >= MaxPly - 1) return true;
    const int first = FFirst[static_cast<std::size_t>(FPly)];
    if (first + MaxMovesPerPiece * 64 + ExtraMovesPerPosition <= MoveListSize) return false;
    const int bound =
        MaxMovesPerPiece * std::popcount(FOccupied[static_cast<std::size_t>(FSide)]) + ExtraMovesPerPosition;
    return first + bound > MoveListSize;
}

// Looks from the square for each kind of attacker: the same answer as walking every attacker's moves towards
// it, because each piece's set of directions is symmetric. A slider attacks when it is the nearest occupied
// square along one of the square's rays.
inline bool ChessEngine::AttackedWith(int Sq, int By, std::uint64_t Occupied, std::uint64_t Pieces) const {
    const auto q = static_cast<std::size_t>(Sq);
    const auto& pieces = FPieceBits[static_cast<std::size_t>(By)];
    if ((PawnAttackers[static_cast<std::size_t>(By)][q] & pieces[Pawn] & Pieces) != 0) return true;
    if ((KnightAttackers[q] & pieces[Knight] & Pieces) != 0) return true;
    if ((KingAttackers[q] & pieces[King] & Pieces) != 0) return true;
    auto nearestIs = [&](std::size_t direction, std::uint64_t attackers) {
        const std::uint64_t blockers = Rays[direction][q] & Occupied;
        if (blockers == 0) return false;
        // Directions 0..3 run towards lower squares, 4..7 towards higher ones.
        const int nearest = direction < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
        return ((attackers >> nearest) & 1u) != 0;
    };
    const std::uint64_t diagonal = (pieces[Bishop] | pieces[Queen]) & Pieces;
    if ((diagonal & DiagonalLines[q]) != 0 && (nearestIs(0, diagonal) || nearestIs(2, diagonal) ||
                                               nearestIs(5, diagonal) || nearestIs(7, diagonal)))
        return true;
    const std::uint64_t straight = (pieces[Rook] | pieces[Queen]) & Pieces;
    return (straight & StraightLines[q]) != 0 && (nearestIs(1, straight) || nearestIs(3, straight) ||
                                                  nearestIs(4, straight) || nearestIs(6, straight));
}

inline bool ChessEngine::IsAttacked(int Sq, int By) const {
    return AttackedWith(Sq, By, FOccupied[White] | FOccupied[Black], ~std::uint64_t{0});
}

// In check at the current ply, once NoteCheck has recorded it: false for a move that DoMove refuses because
// it neither moves the king nor takes the checker or steps between (nor is en passant or castling).
inline bool ChessEngine::MightEndCheck(EngineMove Move) const {
    const auto ply = static_cast<std::size_t>(FPly);
    if (FInCheckAtPly[ply] != 2 || Move.From == FKingSquare[static_cast<std::size_t>(FSide)] ||
        (Move.Flags & (mfEnPassant | mfCastle)))
        return true;
    return ((FEvasionSquares[ply] >> Move.To) & 1u) != 0;
}

template <bool Regular> [[gnu::always_inline]] inline bool ChessEngine::InCheck(int Colour) const {
    if (Regular || !FScanForKings) {
        const int king = FKingSquare[static_cast<std::size_t>(Colour)];
        return (Regular || king >= 0) && IsAttacked(king, 1 - Colour);
    }
    for (int s = 0; s < 64; ++s) {
        if (FPiece[static_cast<std::size_t>(s)] == King && FColor[static_cast<std::size_t>(s)] == Colour)
            return IsAttacked(s, 1 - Colour);
    }
    return false;
}

// A move can only expose its own king when the king was already attacked, the king itself moves, the piece
// leaves one of the king's lines, or a pawn vanishes en passant; every other move is known legal without
// looking, which gives the same answer as looking. Where it must look, it looks at the board as the move
// would leave it before making it, so that a refused move costs no make and take-back. Only for moves other
// than castling and en passant, with one king of the side to move on the board (KnownLegalityApplies).
template <bool Regular> inline bool ChessEngine::KnownLegalityApplies(EngineMove Move) const {
    return (Regular || (!FScanForKings && FKingSquare[static_cast<std::size_t>(FSide)] >= 0)) &&
           !(Move.Flags & (mfEnPassant | mfCastle));
}

[[gnu::always_inline]] inline bool ChessEngine::LegalBeforeMake(EngineMove Move) {
    const int from = Move.From;
    const int to = Move.To;
    const auto f0 = static_cast<std::size_t>(from);
    const int king = FKingSquare[static_cast<std::size_t>(FSide)];
    const auto k = static_cast<std::size_t>(king);
    const auto ply = static_cast<std::size_t>(FPly);
    std::int8_t& state = FInCheckAtPly[ply];
    if (state < 0) state = IsAttacked(king, FXSide) ? 1 : 0;
    const std::uint64_t toBit = std::uint64_t{1} << to;
    if (from != king) {
        if (state != 0) {
            // In check, any other piece must take the checker or step between: elsewhere the check stays.
            // One that does ends the only check, so like a move out of check it fails only by leaving a line.
            if (state == 1) {
                FEvasionSquares[ply] = EvasionSquares(king);
                state = 2;
            }
            if (((FEvasionSquares[ply] >> to) & 1u) == 0) return false;
        }
        if ((((DiagonalLines[k] | StraightLines[k]) >> from) & 1u) == 0) return true;
    }
    const std::uint64_t occupied =
        ((FOccupied[White] | FOccupied[Black]) & ~(std::uint64_t{1} << from)) | toBit;
    if (from == king) return !AttackedWith(to, FXSide, occupied, ~toBit);
    // Only a slider behind the vacated square can come to attack: leapers attacked before or never (in check,
    // the checker is taken or shut out), and the filled square only blocks.
    const std::size_t direction = LineDirection[k][f0];
    const std::uint64_t blockers = Rays[direction][k] & occupied;
    if (blockers == 0) return true;
    const int nearest = direction < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
    const auto& pieces = FPieceBits[static_cast<std::size_t>(FXSide)];
    const std::uint64_t sliders = (pieces[Queen] | pieces[IsDiagonal(direction) ? Bishop : Rook]) & ~toBit;
    return ((sliders >> nearest) & 1u) == 0;
}

// The make itself, without looking at legality; the sides have changed when it returns.
[[gnu::always_inline]] inline void ChessEngine::MakeMove(EngineMove Move) {
    const int from = Move.From;
    const int to = Move.To;
    const auto f = static_cast<std::size_t>(from);
    const auto t = static_cast<std::size_t>(to);
    const auto side = static_cast<std::size_t>(FSide);
    const int captured = FPiece[t];
    UndoEntry& undo = FUndo[static_cast<std::size_t>(FPly)];
    undo.Move = Move;
    undo.Captured = static_cast<std::uint8_t>(captured);
    undo.Castle = static_cast<std::uint8_t>(FCastle);
    undo.EpSquare = static_cast<std::int8_t>(FEpSquare);
    undo.Score = FScore;
    ++FPly;
    FInCheckAtPly[static_cast<std::size_t>(FPly)] = -1;
    FCastle &= CastleMask[f] & CastleMask[t];
    if (Move.Flags & mfDoubleStep)
        FEpSquare = FSide == White ? to + 8 : to - 8;
    else
        FEpSquare = -1;

    // The same changes as clearing both squares and placing the piece, written out for the hot path.
    const int mover = FPiece[f];
    const int placed = Move.Flags & mfPromotion ? Move.Promote : mover;
    const std::uint64_t fromBit = std::uint64_t{1} << from;
    const std::uint64_t toBit = std::uint64_t{1} << to;
    if (captured != EmptySquare) {
        const auto c = static_cast<std::size_t>(FColor[t]);
        FOccupied[c] &= ~toBit;
        FPieceBits[c][static_cast<std::size_t>(captured)] &= ~toBit;
        FScore[c] -= FPieceSquare[c][static_cast<std::size_t>(captured)][t];
        if (captured == King) FKingSquare[static_cast<std::size_t>(FXSide)] = -1;
    }
    FOccupied[side] ^= fromBit | toBit;
    // One change of the mover's bits where it can: two in a row to one word would wait on each other.
    if (Move.Flags & mfPromotion) {
        FPieceBits[side][static_cast<std::size_t>(mover)] ^= fromBit;
        FPieceBits[side][static_cast<std::size_t>(placed)] |= toBit;
    } else {
        FPieceBits[side][static_cast<std::size_t>(mover)] ^= fromBit | toBit;
    }
    FScore[side] += FPieceSquare[side][static_cast<std::size_t>(placed)][t] -
                    FPieceSquare[side][static_cast<std::size_t>(mover)][f];
    FColor[t] = FSide;
    FPiece[t] = placed;
    FColor[f] = EmptySquare;
    FPiece[f] = EmptySquare;
    if (Move.Flags & mfEnPassant) ClearSquare(FSide == White ? to + 8 : to - 8);
    if (mover == King) FKingSquare[side] = to;

    std::swap(FSide, FXSide);
}

// Make and take-back run at every node of the search and of perft, so they stay inline. Castling and en
// passant are looked at after the move.
template <bool Regular> [[gnu::always_inline]] inline bool ChessEngine::DoMove(EngineMove Move) {
    if (!(Move.Flags & (mfEnPassant | mfCastle))) [[likely]] {
        if (Regular || (!FScanForKings && FKingSquare[static_cast<std::size_t>(FSide)] >= 0)) {
            if (!LegalBeforeMake(Move)) return false;
            MakeMove(Move);
            return true;
        }
    } else if (Move.Flags & mfCastle) {
        // Castling is refused with anything between king and rook (the cheap test, first), out of check, or
        // across an attacked square; then the rook jumps.
        const CastlingMove* castling = CastlingByKingTarget(FromEngineSquare(Move.To));
        if (castling == nullptr) return false;
        for (Square s : castling->Between)
            if (s != None && FColor[static_cast<std::size_t>(ToEngineSquare(s))] != EmptySquare) return false;
        if (InCheck<Regular>(FSide)) return false;
        for (Square s : castling->KingPath)
            if (IsAttacked(ToEngineSquare(s), FXSide)) return false;
        ClearSquare(ToEngineSquare(castling->RookFrom));
        PlacePiece(ToEngineSquare(castling->RookTo), FSide, Rook);
    }
    MakeMove(Move);
    if (InCheck<Regular>(FXSide)) {
        UndoMove();
        return false;
    }
    return true;
}

[[gnu::always_inline]] inline void ChessEngine::UndoMove() {
    std::swap(FSide, FXSide);
    --FPly;
    const UndoEntry& undo = FUndo[static_cast<std::size_t>(FPly)];
    const EngineMove move = undo.Move;
    const int capturedPiece = undo.Captured;
    const int from = move.From;
    const int to = move.To;
    FCastle = undo.Castle;
    FEpSquare = undo.EpSquare;
    FScore = undo.Score;

    const auto f = static_cast<std::size_t>(from);
    const auto t = static_cast<std::size_t>(to);
    const auto side = static_cast<std::size_t>(FSide);
    const int placed = FPiece[t];
    const int piece = move.Flags & mfPromotion ? Pawn : placed;
    const std::uint64_t fromBit = std::uint64_t{1} << from;
    const std::uint64_t toBit = std::uint64_t{1} << to;
    FOccupied[side] ^= fromBit | toBit;
    if (move.Flags & mfPromotion) {
        FPieceBits[side][static_cast<std::size_t>(placed)] &= ~toBit;
        FPieceBits[side][Pawn] |= fromBit;
    } else {
        FPieceBits[side][static_cast<std::size_t>(placed)] ^= fromBit | toBit;
    }
    FColor[f] = FSide;
    FPiece[f] = piece;
    if (capturedPiece == EmptySquare) {
        FColor[t] = EmptySquare;
        FPiece[t] = EmptySquare;
    } else {
        const auto x = static_cast<std::size_t>(FXSide);
        const auto c = static_cast<std::size_t>(capturedPiece);
        FColor[t] = FXSide;
        FPiece[t] = capturedPiece;
        FOccupied[x] |= toBit;
        FPieceBits[x][c] |= toBit;
        if (capturedPiece == King) FKingSquare[x] = to;
    }
    if (piece == King) FKingSquare[side] = from;

    // The rook of a castling moved before the record was written, so it goes back the usual way; the pawn
    // taken en passant was counted in the sums the record gave back.
    if (move.Flags & mfCastle) {
        const CastlingMove* castling = CastlingByKingTarget(FromEngineSquare(to));
        ClearSquare(ToEngineSquare(castling->RookTo));
        PlacePiece(ToEngineSquare(castling->RookFrom), FSide, Rook);
    }
    if (move.Flags & mfEnPassant) {
        const int sq = FSide == White ? to + 8 : to - 8;
        const auto x = static_cast<std::size_t>(FXSide);
        FColor[static_cast<std::size_t>(sq)] = FXSide;
        FPiece[static_cast<std::size_t>(sq)] = Pawn;
        FOccupied[x] |= std::uint64_t{1} << sq;
        FPieceBits[x][Pawn] |= std::uint64_t{1} << sq;
    }
}

// Evaluate runs at most nodes of the quiescence search, so it stays inline. Material and placement are kept
// up to date by every change of a square; the pawn structure and the files with pawns come from the cache.
inline int ChessEngine::Evaluate() {
    return EvaluateFrom(FPieceBits[White][Pawn], FPieceBits[Black][Pawn], FPieceBits[White][Rook],
                        FPieceBits[Black][Rook], FScore[White], FScore[Black], FSide);
}

// Evaluate for the given pawns, rooks and piece-square sums, with Side to move.
[[gnu::always_inline]] inline int
ChessEngine::EvaluateFrom(std::uint64_t WhitePawns, std::uint64_t BlackPawns, std::uint64_t WhiteRooks,
                          std::uint64_t BlackRooks, int WhiteScore, int BlackScore, int Side) {
    const std::uint64_t hash = (WhitePawns * 0x9E3779B97F4A7C15ull) ^ (BlackPawns * 0xC2B2AE3D27D4EB4Full);
    PawnEntry& entry = FPawnCache[static_cast<std::size_t>(hash >> (64 - std::countr_zero(PawnCacheSize)))];
    if (entry.WhitePawns != WhitePawns || entry.BlackPawns != BlackPawns) [[unlikely]]
        FillPawnEntry(entry, WhitePawns, BlackPawns);
    int white = WhiteScore + entry.Score[White];
    int black = BlackScore + entry.Score[Black];
    // A rook on a file without own pawns gets 10, 5 more without any pawn.
    const std::uint64_t whitePawnFiles = entry.FilesWithPawns[White] * EngineFileA;
    const std::uint64_t blackPawnFiles = entry.FilesWithPawns[Black] * EngineFileA;
    const std::uint64_t whiteHalfOpen = WhiteRooks & ~whitePawnFiles;
    const std::uint64_t blackHalfOpen = BlackRooks & ~blackPawnFiles;
    if ((whiteHalfOpen | blackHalfOpen) != 0) {
        // Counted without a loop, whose end would be mispredicted: mostly a side has at most two rooks, and
        // then so have the sets counted.
        const std::uint64_t whiteRest = whiteHalfOpen & (whiteHalfOpen - 1);
        const std::uint64_t blackRest = blackHalfOpen & (blackHalfOpen - 1);
        if (((whiteRest & (whiteRest - 1)) | (blackRest & (blackRest - 1))) == 0) [[likely]] {
            auto count = [](std::uint64_t rooks) __attribute__((always_inline)) {
                return static_cast<int>(rooks != 0) + static_cast<int>((rooks & (rooks - 1)) != 0);
            };
            white += 10 * count(whiteHalfOpen) + 5 * count(whiteHalfOpen & ~blackPawnFiles);
            black += 10 * count(blackHalfOpen) + 5 * count(blackHalfOpen & ~whitePawnFiles);
        } else {
            white += 10 * CountSquares(whiteHalfOpen) + 5 * CountSquares(whiteHalfOpen & ~blackPawnFiles);
            black += 10 * CountSquares(blackHalfOpen) + 5 * CountSquares(blackHalfOpen & ~whitePawnFiles);
        }
    }
    return Side == White ? white - black : black - white;
}

template <bool Regular>
[[gnu::always_inline]] inline void ChessEngine::PeekMove(EngineMove Move, int& Eval, bool& Check) {
    const int from = Move.From;
    const int to = Move.To;
    const auto f = static_cast<std::size_t>(from);
    const auto t = static_cast<std::size_t>(to);
    const auto us = static_cast<std::size_t>(FSide);
    const auto them = static_cast<std::size_t>(FXSide);
    const int mover = FPiece[f];
    const int placed = Move.Flags & mfPromotion ? Move.Promote : mover;
    const std::uint64_t fromBit = std::uint64_t{1} << from;
    const std::uint64_t toBit = std::uint64_t{1} << to;

    // Their king is attacked by the piece arriving on the destination, or by one of the other pieces through
    // the board as it would be.
    const int king = FKingSquare[them];
    const auto k = static_cast<std::size_t>(king);
    const std::uint64_t occupied = ((FOccupied[White] | FOccupied[Black]) & ~fromBit) | toBit;
    // Looked up by the piece's kind rather than branched on: the kinds of the moves tried follow no pattern.
    const auto kind = static_cast<std::size_t>(placed);
    bool check = ((ContactChecks[us][kind][k] >> to) & 1u) != 0;
    if (((LineChecks[kind][k] >> to) & 1u) != 0) {
        const std::size_t direction = LineDirection[k][t];
        const std::uint64_t blockers = Rays[direction][k] & occupied;
        const int nearest = direction < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
        check = nearest == to;
    }
    if (!check) {
        if (!Regular && FPly == 0) {
            // An odd root may come with their king attacked already.
            check = AttackedWith(king, FSide, occupied, ~fromBit);
        } else if ((((DiagonalLines[k] | StraightLines[k]) >> from) & 1u) != 0) {
            // Below the root their king stands unattacked (the move that led here was legal), so only a
            // slider behind the vacated square can uncover a check.
            const std::size_t direction = LineDirection[k][f];
            const std::uint64_t blockers = Rays[direction][k] & occupied;
            if (blockers != 0) {
                const int nearest =
                    direction < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
                const auto& pieces = FPieceBits[us];
                const std::uint64_t sliders = pieces[Queen] | pieces[IsDiagonal(direction) ? Bishop : Rook];
                check = ((sliders >> nearest) & 1u) != 0;
            }
        }
    }
    Check = check;
    // A node in check has no use for its evaluation.
    if (Check) return;

    // The pieces and sums as the move would leave them, without branching on the kinds and without arrays
    // indexed by colour (built as vectors, they would be read back piece by piece and wait): the moving piece
    // and the taken one drop out of every set (a set that did not hold them stays as it was), an empty
    // square's values are zero, and only the set of the piece placed gains the destination.
    const int captured = FPiece[t];
    const std::uint64_t pawnTo = toBit & (std::uint64_t{0} - static_cast<std::uint64_t>(placed == Pawn));
    const std::uint64_t rookTo = toBit & (std::uint64_t{0} - static_cast<std::uint64_t>(placed == Rook));
    const std::uint64_t ourPawns = (FPieceBits[us][Pawn] & ~fromBit) | pawnTo;
    const std::uint64_t ourRooks = (FPieceBits[us][Rook] & ~fromBit) | rookTo;
    const std::uint64_t theirPawns = FPieceBits[them][Pawn] & ~toBit;
    const std::uint64_t theirRooks = FPieceBits[them][Rook] & ~toBit;
    const int ourScore = FScore[us] + FPieceSquare[us][static_cast<std::size_t>(placed)][t] -
                         FPieceSquare[us][static_cast<std::size_t>(mover)][f];
    const int theirScore = FScore[them] - FPieceSquare[them][static_cast<std::size_t>(captured)][t];
    const bool white = us == White;
    Eval = EvaluateFrom(white ? ourPawns : theirPawns, white ? theirPawns : ourPawns,
                        white ? ourRooks : theirRooks, white ? theirRooks : ourRooks,
                        white ? ourScore : theirScore, white ? theirScore : ourScore, FXSide);
}
