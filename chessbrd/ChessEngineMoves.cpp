// ChessEngine: move generation, make and take-back, the attack tests, and the move counts built on them.
#include "ChessEngine.h"

#include "Castling.h"

#include <algorithm>
#include <bit>
#include <type_traits>

namespace {

constexpr int CaptureScore = 1000000;
// Engine squares run a8 = 0 to h1 = 63.
constexpr std::uint64_t FileH = EngineFileA << 7;
constexpr std::uint64_t Rank7 = 0xFFull << 8;
constexpr std::uint64_t Rank2 = 0xFFull << 48;
constexpr std::uint64_t Rank8 = 0xFFull;
constexpr std::uint64_t Rank1 = 0xFFull << 56;

} // namespace

// Moves are written straight into the shared list through a cursor; the ply's end is stored once at the
// end of the generation.
[[gnu::always_inline]] inline MoveEntry* ChessEngine::AddMove(MoveEntry* Out, int From, int To,
                                                              int Flags) const {
    if ((Flags & mfPawn) && (To < 8 || To >= 56)) {
        for (int piece = Knight; piece <= Queen; ++piece) {
            Out->Move =
                EngineMove{static_cast<std::uint8_t>(From), static_cast<std::uint8_t>(To),
                           static_cast<std::uint8_t>(piece), static_cast<std::uint8_t>(Flags | mfPromotion)};
            Out->Score = CaptureScore + 10 * piece;
            ++Out;
        }
        return Out;
    }
    Out->Move = EngineMove{static_cast<std::uint8_t>(From), static_cast<std::uint8_t>(To), 0,
                           static_cast<std::uint8_t>(Flags)};
    if (Flags & mfCapture)
        Out->Score =
            CaptureScore + 10 * FPiece[static_cast<std::size_t>(To)] - FPiece[static_cast<std::size_t>(From)];
    else
        Out->Score = FHistoryScore[static_cast<std::size_t>(From)][static_cast<std::size_t>(To)];
    return Out + 1;
}

// One ray of a sliding piece: the empty squares outward first, then the capture of the blocker. Queen
// directions 0..3 run towards lower squares, 4..7 towards higher ones.
template <bool WithQuiet, std::size_t Direction>
[[gnu::always_inline]] inline MoveEntry* ChessEngine::AddRayMoves(MoveEntry* Out, int Sq, int Piece,
                                                                  std::uint64_t Occupied,
                                                                  std::uint64_t Enemy) const {
    constexpr bool towardsLower = Direction < 4;
    const std::uint64_t ray = Rays[Direction][static_cast<std::size_t>(Sq)];
    if (!WithQuiet && (ray & Enemy) == 0) return Out;
    const std::uint64_t blockers = ray & Occupied;
    int blocker = -1;
    std::uint64_t empties = ray;
    if (blockers != 0) {
        blocker = towardsLower ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
        empties ^= Rays[Direction][static_cast<std::size_t>(blocker)] | (std::uint64_t{1} << blocker);
    }
    if constexpr (WithQuiet) {
        const auto& history = FHistoryScore[static_cast<std::size_t>(Sq)];
        while (empties != 0) {
            const int t = towardsLower ? 63 - std::countl_zero(empties) : std::countr_zero(empties);
            empties &= ~(std::uint64_t{1} << t);
            Out->Move = EngineMove{static_cast<std::uint8_t>(Sq), static_cast<std::uint8_t>(t), 0, 0};
            Out->Score = history[static_cast<std::size_t>(t)];
            ++Out;
        }
    }
    if (blocker >= 0 && ((Enemy >> blocker) & 1u) != 0) {
        Out->Move =
            EngineMove{static_cast<std::uint8_t>(Sq), static_cast<std::uint8_t>(blocker), 0, mfCapture};
        Out->Score = CaptureScore + 10 * FPiece[static_cast<std::size_t>(blocker)] - Piece;
        ++Out;
    }
    return Out;
}

// The moves of a knight, bishop, rook, queen or king on s, in the order of walking its direction table
// through the frame: knight and king targets in that order are simply the ascending squares, and a slider's
// directions are the queen's directions in ascending order.
template <bool WithQuiet>
[[gnu::always_inline]] inline MoveEntry* ChessEngine::AddPieceMoves(MoveEntry* Out, int Sq, int Piece) const {
    const auto q = static_cast<std::size_t>(Sq);
    const std::uint64_t enemy = FOccupied[static_cast<std::size_t>(FXSide)];
    const std::uint64_t occupied = FOccupied[White] | FOccupied[Black];
    switch (Piece) {
    case Bishop:
        Out = AddRayMoves<WithQuiet, 0>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 2>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 5>(Out, Sq, Piece, occupied, enemy);
        return AddRayMoves<WithQuiet, 7>(Out, Sq, Piece, occupied, enemy);
    case Rook:
        Out = AddRayMoves<WithQuiet, 1>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 3>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 4>(Out, Sq, Piece, occupied, enemy);
        return AddRayMoves<WithQuiet, 6>(Out, Sq, Piece, occupied, enemy);
    case Queen:
        Out = AddRayMoves<WithQuiet, 0>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 1>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 2>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 3>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 4>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 5>(Out, Sq, Piece, occupied, enemy);
        Out = AddRayMoves<WithQuiet, 6>(Out, Sq, Piece, occupied, enemy);
        return AddRayMoves<WithQuiet, 7>(Out, Sq, Piece, occupied, enemy);
    default:
        break;
    }
    const std::uint64_t reach = Piece == Knight ? KnightAttackers[q] : KingAttackers[q];
    std::uint64_t targets = reach & (WithQuiet ? ~FOccupied[static_cast<std::size_t>(FSide)] : enemy);
    const auto& history = FHistoryScore[q];
    while (targets != 0) {
        const int t = std::countr_zero(targets);
        targets &= targets - 1;
        if (((enemy >> t) & 1u) != 0) {
            Out->Move = EngineMove{static_cast<std::uint8_t>(Sq), static_cast<std::uint8_t>(t), 0, mfCapture};
            Out->Score = CaptureScore + 10 * FPiece[static_cast<std::size_t>(t)] - Piece;
        } else {
            Out->Move = EngineMove{static_cast<std::uint8_t>(Sq), static_cast<std::uint8_t>(t), 0, 0};
            Out->Score = history[static_cast<std::size_t>(t)];
        }
        ++Out;
    }
    return Out;
}

void ChessEngine::GenerateMoves() {
    Generate<true, false>();
}

void ChessEngine::GenerateCaptures() {
    Generate<false, false>();
}

void ChessEngine::GenerateEvasions() {
    Generate<true, true>();
}

// The king's moves, and the other pieces' moves onto the evasion squares, piece kind by piece kind (the order
// does not matter here), found from the squares each piece attacks instead of walking its moves.
void ChessEngine::GenerateEvasionCandidates() {
    const auto ply = static_cast<std::size_t>(FPly);
    MoveEntry* out = FMoveList.data() + FFirst[ply];
    const std::uint64_t evasion = FEvasionSquares[ply];
    const auto side = static_cast<std::size_t>(FSide);
    const std::uint64_t own = FOccupied[side];
    const std::uint64_t enemy = FOccupied[static_cast<std::size_t>(FXSide)];
    const std::uint64_t occupied = own | enemy;
    const auto& mine = FPieceBits[side];
    auto addTargets = [&](int Sq, int Piece, std::uint64_t Targets) {
        const auto& history = FHistoryScore[static_cast<std::size_t>(Sq)];
        for (; Targets != 0; Targets &= Targets - 1) {
            const int t = std::countr_zero(Targets);
            if (((enemy >> t) & 1u) != 0) {
                out->Move =
                    EngineMove{static_cast<std::uint8_t>(Sq), static_cast<std::uint8_t>(t), 0, mfCapture};
                out->Score = CaptureScore + 10 * FPiece[static_cast<std::size_t>(t)] - Piece;
            } else {
                out->Move = EngineMove{static_cast<std::uint8_t>(Sq), static_cast<std::uint8_t>(t), 0, 0};
                out->Score = history[static_cast<std::size_t>(t)];
            }
            ++out;
        }
    };
    // Evasions are only noted with one king of the side to move on the board.
    const int king = FKingSquare[side];
    addTargets(king, King, KingAttackers[static_cast<std::size_t>(king)] & ~own);
    for (std::uint64_t knights = mine[Knight]; knights != 0; knights &= knights - 1) {
        const int s = std::countr_zero(knights);
        addTargets(s, Knight, KnightAttackers[static_cast<std::size_t>(s)] & evasion);
    }
    auto addSlider = [&](int Piece, auto... Directions) {
        const auto p = static_cast<std::size_t>(Piece);
        for (std::uint64_t sliders = mine[p]; sliders != 0; sliders &= sliders - 1) {
            const int s = std::countr_zero(sliders);
            const auto q = static_cast<std::size_t>(s);
            if ((PieceReach[p][q] & evasion) == 0) continue;
            std::uint64_t targets = 0;
            auto ray = [&](std::size_t d) {
                std::uint64_t reach = Rays[d][q];
                const std::uint64_t blockers = reach & occupied;
                if (blockers != 0) {
                    const int nearest = d < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
                    reach ^= Rays[d][static_cast<std::size_t>(nearest)];
                }
                targets |= reach;
            };
            (ray(Directions), ...);
            addTargets(s, Piece, targets & evasion & ~own);
        }
    };
    addSlider(Bishop, 0u, 2u, 5u, 7u);
    addSlider(Rook, 1u, 3u, 4u, 6u);
    addSlider(Queen, 0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u);
    // A pawn reaches an evasion square by a step, a double step or a capture from one of these squares.
    const std::uint64_t pawnSources =
        FSide == White ? (evasion << 8) | (evasion << 16) | (evasion << 7) | (evasion << 9)
                       : (evasion >> 8) | (evasion >> 16) | (evasion >> 7) | (evasion >> 9);
    const std::uint64_t pawns = mine[Pawn] & pawnSources;
    if (pawns != 0) {
        const PawnMoveSets pawnSets = PawnSets();
        for (std::uint64_t rest = pawns; rest != 0; rest &= rest - 1) {
            MoveEntry* const before = out;
            out = AddPawnMoves<true>(out, std::countr_zero(rest), pawnSets);
            MoveEntry* kept = before;
            for (MoveEntry* m = before; m < out; ++m)
                if (((evasion >> m->Move.To) & 1u) != 0) *kept++ = *m;
            out = kept;
        }
    }
    out = AddEnPassantMoves(out);
    FLast[ply] = static_cast<int>(out - FMoveList.data());
    if (ply + 1 < MaxPly) FFirst[ply + 1] = FLast[ply];
}

// Notes the list index of a move MightEndCheck lets through.
inline void ChessEngine::NoteCandidate(int Index) {
    FCandidates[static_cast<std::size_t>(FCandidateCount++)] = Index;
}

// Squares in ascending order, then castling, then en passant: the order decides ties between equal moves.
// Without quiet moves only captures, promotion advances and en-passant captures are added.
// With Evasions (in check, with the evasion squares known) it also notes the moves MightEndCheck lets
// through, looking only at the moves of pieces that can reach an evasion square at all.
template <bool WithQuiet, bool Evasions> void ChessEngine::Generate() {
    const auto ply = static_cast<std::size_t>(FPly);
    MoveEntry* const begin = FMoveList.data();
    MoveEntry* out = begin + FFirst[ply];
    const std::uint64_t evasion = Evasions ? FEvasionSquares[ply] : 0;
    if constexpr (Evasions) FCandidateCount = 0;
    std::uint64_t own = FOccupied[static_cast<std::size_t>(FSide)];
    const PawnMoveSets pawnSets = PawnSets();
    if constexpr (!WithQuiet) {
        // Only pawns that can take or step onto the last rank have moves here.
        const std::uint64_t pawns = FPieceBits[static_cast<std::size_t>(FSide)][Pawn];
        const std::uint64_t lastButOne = FSide == White ? Rank7 : Rank2;
        own &= ~pawns | pawnSets.Left | pawnSets.Right | (pawnSets.Step & lastButOne);
    }
    // Whether a square holds a pawn, told by the set rather than the board, so that the branch on it does not
    // wait for a load.
    const auto& mine = FPieceBits[static_cast<std::size_t>(FSide)];
    const std::uint64_t ownPawns = mine[Pawn];
    while (own != 0) {
        const int s = std::countr_zero(own);
        own &= own - 1;
        if (((ownPawns >> s) & 1u) != 0) {
            MoveEntry* const before = out;
            out = AddPawnMoves<WithQuiet>(out, s, pawnSets);
            if constexpr (Evasions) {
                if ((PieceReach[Pawn][static_cast<std::size_t>(s)] & evasion) != 0)
                    for (MoveEntry* p = before; p < out; ++p)
                        if (((evasion >> p->Move.To) & 1u) != 0) NoteCandidate(static_cast<int>(p - begin));
            }
            continue;
        }
        // The other kinds from the sets too: each branch walks its own kind's moves, with the kind known.
        auto add = [&](auto Kind) {
            constexpr int piece = decltype(Kind)::value;
            const std::uint64_t reach = PieceReach[piece][static_cast<std::size_t>(s)];
            // Without quiet moves most pieces have nothing to take, which one look tells.
            if (!WithQuiet && (reach & FOccupied[static_cast<std::size_t>(FXSide)]) == 0) return;
            MoveEntry* const before = out;
            out = AddPieceMoves<WithQuiet>(out, s, piece);
            if constexpr (Evasions) {
                if (piece == King) {
                    for (MoveEntry* p = before; p < out; ++p) NoteCandidate(static_cast<int>(p - begin));
                } else if ((reach & evasion) != 0) {
                    for (MoveEntry* p = before; p < out; ++p)
                        if (((evasion >> p->Move.To) & 1u) != 0) NoteCandidate(static_cast<int>(p - begin));
                }
            }
        };
        auto holds = [s](std::uint64_t Set) { return ((Set >> s) & 1u) != 0; };
        if (holds(mine[Knight]))
            add(std::integral_constant<int, Knight>{});
        else if (holds(mine[Bishop]))
            add(std::integral_constant<int, Bishop>{});
        else if (holds(mine[Rook]))
            add(std::integral_constant<int, Rook>{});
        else if (holds(mine[Queen]))
            add(std::integral_constant<int, Queen>{});
        else
            add(std::integral_constant<int, King>{});
    }
    // Castling and en passant always pass MightEndCheck.
    MoveEntry* const special = out;
    if (WithQuiet && FCastle != 0) {
        // Whenever the right is there; DoMove looks at the squares.
        for (const CastlingMove& castling : CastlingsOf(FSide == White))
            if (CastleSet{static_cast<std::uint8_t>(FCastle)}.Contains(castling.Right))
                out = AddMove(out, ToEngineSquare(castling.KingFrom), ToEngineSquare(castling.KingTo),
                              mfCastle);
    }
    out = AddEnPassantMoves(out);
    if constexpr (Evasions)
        for (MoveEntry* p = special; p < out; ++p) NoteCandidate(static_cast<int>(p - begin));
    FLast[ply] = static_cast<int>(out - begin);
    if (ply + 1 < MaxPly) FFirst[ply + 1] = FLast[ply];
}

// The en-passant captures of the side to move.
[[gnu::always_inline]] inline MoveEntry* ChessEngine::AddEnPassantMoves(MoveEntry* Out) const {
    if (FEpSquare == -1) return Out;
    auto ownPawn = [this](int sq) {
        return FColor[static_cast<std::size_t>(sq)] == FSide && FPiece[static_cast<std::size_t>(sq)] == Pawn;
    };
    const int ep = FEpSquare;
    constexpr int flags = mfPawn | mfCapture | mfEnPassant;
    if (FSide == White) {
        if (FileOfSquare(ep) != 0 && ownPawn(ep + 7)) Out = AddMove(Out, ep + 7, ep, flags);
        if (FileOfSquare(ep) != 7 && ownPawn(ep + 9)) Out = AddMove(Out, ep + 9, ep, flags);
    } else {
        if (FileOfSquare(ep) != 0 && ownPawn(ep - 9)) Out = AddMove(Out, ep - 9, ep, flags);
        if (FileOfSquare(ep) != 7 && ownPawn(ep - 7)) Out = AddMove(Out, ep - 7, ep, flags);
    }
    return Out;
}

// Which pawns of the side to move can take towards the a-file side or the h-file side, step, and step twice,
// for all of them at once. White pawns move towards lower squares, black ones towards higher; a pawn standing
// on its last rank (only in a hand-made position) has nowhere to go, one on its first may step twice.
[[gnu::always_inline]] inline ChessEngine::PawnMoveSets ChessEngine::PawnSets() const {
    const std::uint64_t enemy = FOccupied[static_cast<std::size_t>(FXSide)];
    const std::uint64_t empty = ~(FOccupied[White] | FOccupied[Black]);
    const std::uint64_t pawns = FPieceBits[static_cast<std::size_t>(FSide)][Pawn];
    PawnMoveSets sets;
    sets.Forward = FSide == White ? -8 : 8;
    if (FSide == White) {
        const std::uint64_t movable = pawns & ~Rank8;
        sets.Left = movable & ~EngineFileA & (enemy << 9);
        sets.Right = movable & ~FileH & (enemy << 7);
        sets.Step = movable & (empty << 8);
        sets.Double = sets.Step & (Rank2 | Rank1) & (empty << 16);
    } else {
        const std::uint64_t movable = pawns & ~Rank1;
        sets.Left = movable & ~EngineFileA & (enemy >> 7);
        sets.Right = movable & ~FileH & (enemy >> 9);
        sets.Step = movable & (empty >> 8);
        sets.Double = sets.Step & (Rank7 | Rank8) & (empty >> 16);
    }
    return sets;
}

template <bool WithQuiet>
[[gnu::always_inline]] inline MoveEntry* ChessEngine::AddPawnMoves(MoveEntry* Out, int s,
                                                                   const PawnMoveSets& Sets) const {
    const int forward = Sets.Forward;
    const std::uint64_t bit = std::uint64_t{1} << s;
    if (Sets.Left & bit) Out = AddMove(Out, s, s + forward - 1, mfPawn | mfCapture);
    if (Sets.Right & bit) Out = AddMove(Out, s, s + forward + 1, mfPawn | mfCapture);
    if (Sets.Step & bit) {
        const bool promotes = forward < 0 ? s <= 15 : s >= 48;
        if (WithQuiet || promotes) Out = AddMove(Out, s, s + forward, mfPawn);
        if (WithQuiet && (Sets.Double & bit)) Out = AddMove(Out, s, s + 2 * forward, mfPawn | mfDoubleStep);
    }
    return Out;
}

// The squares where a piece other than the king can end a check on the king on KingSq: the checker's square
// and, for a slider, the squares between; none in double check.
std::uint64_t ChessEngine::EvasionSquares(int KingSq) const {
    const auto q = static_cast<std::size_t>(KingSq);
    const auto& pieces = FPieceBits[static_cast<std::size_t>(FXSide)];
    const std::uint64_t leapers = (PawnAttackers[static_cast<std::size_t>(FXSide)][q] & pieces[Pawn]) |
                                  (KnightAttackers[q] & pieces[Knight]) | (KingAttackers[q] & pieces[King]);
    std::uint64_t squares = leapers;
    int checkers = leapers == 0 ? 0 : (leapers & (leapers - 1)) == 0 ? 1 : 2;
    const std::uint64_t occupied = FOccupied[White] | FOccupied[Black];
    const std::uint64_t diagonal = pieces[Bishop] | pieces[Queen];
    const std::uint64_t straight = pieces[Rook] | pieces[Queen];
    for (std::size_t d = 0; d < 8; ++d) {
        const std::uint64_t blockers = Rays[d][q] & occupied;
        if (blockers == 0) continue;
        const int nearest = d < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers);
        // Queen directions 0, 2, 5, 7 are the diagonals.
        const bool isDiagonal = d == 0 || d == 2 || d == 5 || d == 7;
        if ((((isDiagonal ? diagonal : straight) >> nearest) & 1u) == 0) continue;
        squares |= Rays[d][q] ^ Rays[d][static_cast<std::size_t>(nearest)];
        ++checkers;
    }
    return checkers == 1 ? squares : 0;
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
