// ChessEngine: the search. Iterative deepening over a fail-hard alpha-beta with check extension, quiescence,
// and principal-variation and history move ordering.
#include "ChessEngine.h"

#include <algorithm>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Ordering counters are 32-bit and may run over in a very long search: wrap around like the machine does
// instead of overflowing.
constexpr int WrappingAdd(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
constexpr int PvBonus = 10000000;

// Brings the best-scored move from Slot on into Slot, the first of equal scores winning. The scan runs once
// per move tried, over every move not yet tried, so it looks at four scores at a time where it can.
// Inline where the search picks; PickMove is the same for the tests.
[[gnu::always_inline]] inline void SelectBest(MoveEntry* const slot, MoveEntry* const end) {
    MoveEntry* best = slot;
    std::int32_t bestScore = slot->Score;
    // Without branches: where a new best turns up is hard to predict.
    auto take = [&](MoveEntry* q) {
        const bool better = q->Score > bestScore;
        bestScore = better ? q->Score : bestScore;
        best = better ? q : best;
    };
    MoveEntry* p = slot + 1;
#if defined(__SSE2__)
    static_assert(sizeof(MoveEntry) == 8 && offsetof(MoveEntry, Score) == 4);
    if (end - p >= 4) {
        // Groups of four from the front; the last group ends at the end and may look again at moves already
        // looked at, which cannot beat the best so far. Only a group holding a better score is looked at
        // move by move.
        __m128i bound = _mm_set1_epi32(bestScore);
        MoveEntry* const lastGroup = end - 4;
        for (;;) {
            const __m128 low = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
            const __m128 high = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2)));
            const __m128i scores = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
            if (_mm_movemask_epi8(_mm_cmpgt_epi32(scores, bound)) != 0) {
                for (MoveEntry* q = p; q < p + 4; ++q) take(q);
                bound = _mm_set1_epi32(bestScore);
            }
            if (p == lastGroup) break;
            p = end - p >= 8 ? p + 4 : lastGroup;
        }
        p = end;
    }
#endif
    for (; p < end; ++p) take(p);
    if (best != slot) std::swap(*slot, *best);
}

// How many of the moves in [Begin, End) score above Score, four at a time where it can.
[[gnu::always_inline]] inline int CountAbove(const MoveEntry* Begin, const MoveEntry* const End,
                                             std::int32_t Score) {
    int count = 0;
#if defined(__SSE2__)
    if (End - Begin >= 4) {
        const __m128i bound = _mm_set1_epi32(Score);
        __m128i counts = _mm_setzero_si128();
        for (; End - Begin >= 4; Begin += 4) {
            const __m128 low = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Begin)));
            const __m128 high =
                _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Begin + 2)));
            const __m128i scores = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
            // Each lane above the bound compares to -1.
            counts = _mm_sub_epi32(counts, _mm_cmpgt_epi32(scores, bound));
        }
        counts = _mm_add_epi32(counts, _mm_shuffle_epi32(counts, _MM_SHUFFLE(1, 0, 3, 2)));
        counts = _mm_add_epi32(counts, _mm_shuffle_epi32(counts, _MM_SHUFFLE(2, 3, 0, 1)));
        count = _mm_cvtsi128_si32(counts);
    }
#endif
    for (; Begin < End; ++Begin) count += Begin->Score > Score ? 1 : 0;
    return count;
}

} // namespace

void ChessEngine::PickMove(int Slot) {
    SelectBest(FMoveList.data() + Slot, FMoveList.data() + FLast[static_cast<std::size_t>(FPly)]);
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
        const int score = FRegular ? AlphaBeta<true>(-Infinity, Infinity, depth)
                                   : AlphaBeta<false>(-Infinity, Infinity, depth);
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

int ChessEngine::StaticScore(int alpha, int beta) {
    FPvLength[static_cast<std::size_t>(FPly)] = FPly;
    return std::clamp(Evaluate(), alpha, beta);
}

// PickMove over the whole list brings up moves in falling score order, and moves of equal score in the order
// of their places when the first of them is due. Each pick changes only two places: the slot it fills and the
// place of the move it takes. So a move standing at or after the slot where its score group begins (the
// number of higher moves) keeps its generated place until then. When every group of equal scores among the
// moves tried starts that way, the moves come in the order of score, then generated place, and the scans over
// the moves that are skipped anyway can be left out; otherwise the search runs the selection itself.
int ChessEngine::OrderEvasions(std::array<int, MaxOrderedEvasions>& Order) const {
    const auto ply = static_cast<std::size_t>(FPly);
    const int first = FFirst[ply];
    const int last = FLast[ply];
    const MoveEntry* const list = FMoveList.data();
    auto scoreAt = [list](int i) { return list[static_cast<std::size_t>(i)].Score; };
    if (FCandidateCount > MaxOrderedEvasions) return -1;
    int count = 0;
    for (int c = 0; c < FCandidateCount; ++c) {
        const int i = FCandidates[static_cast<std::size_t>(c)];
        // Insertion by falling score; an equal score stays behind, in list order.
        const std::int32_t score = scoreAt(i);
        int k = count++;
        for (; k > 0 && scoreAt(Order[static_cast<std::size_t>(k - 1)]) < score; --k)
            Order[static_cast<std::size_t>(k)] = Order[static_cast<std::size_t>(k - 1)];
        Order[static_cast<std::size_t>(k)] = i;
    }
    for (int k = 1; k < count; ++k) {
        const std::int32_t score = scoreAt(Order[static_cast<std::size_t>(k)]);
        if (score != scoreAt(Order[static_cast<std::size_t>(k - 1)]) ||
            (k >= 2 && score == scoreAt(Order[static_cast<std::size_t>(k - 2)])))
            continue;
        // The first of a group of equal scores: the selection reaches its place only after every higher move.
        const int higher = CountAbove(list + first, list + last, score);
        if (Order[static_cast<std::size_t>(k - 1)] - first < higher) return -1;
    }
    return count;
}

// The full selection brings up moves in falling score order, so where no two of the legal candidates score
// the same, that order alone is the order in which the search tries them; the moves around them do not
// matter. Candidates that share a score are looked at for legality first (the illegal ones would only be
// refused), and only a tie between legal ones leaves the order to the whole list. The order then stops short
// of the tied moves: a search cut off before them never needs the list.
int ChessEngine::OrderCandidatesByScore(std::array<int, MaxOrderedEvasions>& Order, std::int32_t& TieScore) {
    const auto ply = static_cast<std::size_t>(FPly);
    const int first = FFirst[ply];
    const int last = FLast[ply];
    TieScore = NoTie;
    if (last - first > MaxOrderedEvasions) return -1;
    const MoveEntry* const list = FMoveList.data();
    auto scoreAt = [list](int i) { return list[static_cast<std::size_t>(i)].Score; };
    int count = 0;
    for (int i = first; i < last; ++i) {
        const std::int32_t score = scoreAt(i);
        int k = count++;
        for (; k > 0 && scoreAt(Order[static_cast<std::size_t>(k - 1)]) < score; --k)
            Order[static_cast<std::size_t>(k)] = Order[static_cast<std::size_t>(k - 1)];
        Order[static_cast<std::size_t>(k)] = i;
    }
    std::array<std::int32_t, MaxOrderedEvasions> scores;
    for (int k = 0; k < count; ++k)
        scores[static_cast<std::size_t>(k)] = scoreAt(Order[static_cast<std::size_t>(k)]);
    int kept = 0;
    for (int k = 0; k < count; ++k) {
        const auto at = static_cast<std::size_t>(k);
        const int index = Order[at];
        const bool shared =
            (k > 0 && scores[at - 1] == scores[at]) || (k + 1 < count && scores[at + 1] == scores[at]);
        if (shared) {
            const EngineMove move = list[static_cast<std::size_t>(index)].Move;
            auto sameAsLastKept = [&] {
                return kept > 0 && scoreAt(Order[static_cast<std::size_t>(kept - 1)]) == scores[at];
            };
            // En passant is looked at only after the make, so it counts as tied.
            const bool enPassant = (move.Flags & mfEnPassant) != 0;
            if (!enPassant && !LegalBeforeMake(move)) continue;
            if (enPassant || sameAsLastKept()) {
                while (sameAsLastKept()) --kept;
                TieScore = scores[at];
                return kept;
            }
        }
        Order[static_cast<std::size_t>(kept++)] = index;
    }
    return kept;
}

// Records at the node's ply whether the side to move is in check, with the squares that can end a check, for
// DoMove and MightEndCheck.
template <bool Regular> void ChessEngine::NoteCheck(bool InCheck) {
    const auto ply = static_cast<std::size_t>(FPly);
    FInCheckAtPly[ply] = InCheck ? 1 : 0;
    const int king = FKingSquare[static_cast<std::size_t>(FSide)];
    if (InCheck && (Regular || (!FScanForKings && king >= 0))) {
        FEvasionSquares[ply] = EvasionSquares(king);
        FInCheckAtPly[ply] = 2;
    }
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

// A child that would stand pat at once (not in check, evaluated at or above its beta, which is -alpha here)
// answers alpha, which changes nothing at this node: it is counted without making the move. Otherwise what
// PeekMove found is handed to the child.
template <bool Regular>
[[gnu::always_inline]] inline bool ChessEngine::QuiescenceChild(EngineMove Move, int alpha, int beta,
                                                                int& Score) {
    if (KnownLegalityApplies<Regular>(Move)) {
        if (!LegalBeforeMake(Move)) return false;
        if (Regular || (FPiece[Move.To] != King && FKingSquare[static_cast<std::size_t>(FXSide)] >= 0)) {
            int eval = 0;
            bool check = false;
            PeekMove<Regular>(Move, eval, check);
            if (!check && eval >= -alpha) {
                ++FQNodes;
                Score = alpha;
                return true;
            }
            const auto child = static_cast<std::size_t>(FPly + 1);
            FKnownCheck[child] = check ? 1 : 0;
            FKnownEval[child] = eval;
        }
        MakeMove(Move);
    } else if (!DoMove<Regular>(Move)) {
        return false;
    }
    Score = -Quiescence<Regular>(-beta, -alpha);
    UndoMove();
    return true;
}

// Where every legal move of the list scoring Score or less would stand pat in its child (as QuiescenceChild
// finds it), the order in which the search tries them changes nothing: each counts one node and leaves alpha
// as it is. Then they are counted at once, without the whole list that would order them.
template <bool Regular>
bool ChessEngine::CountStandingPat(std::int32_t Score, int alpha, bool& LegalMoveFound) {
    const auto ply = static_cast<std::size_t>(FPly);
    const int last = FLast[ply];
    int standing = 0;
    for (int i = FFirst[ply]; i < last; ++i) {
        const MoveEntry& entry = FMoveList[static_cast<std::size_t>(i)];
        if (entry.Score > Score) continue;
        const EngineMove move = entry.Move;
        if (!KnownLegalityApplies<Regular>(move)) return false;
        if (!LegalBeforeMake(move)) continue;
        if (!Regular && (FPiece[move.To] == King || FKingSquare[static_cast<std::size_t>(FXSide)] < 0))
            return false;
        int eval = 0;
        bool check = false;
        PeekMove<Regular>(move, eval, check);
        if (check || eval < -alpha) return false;
        ++standing;
    }
    FQNodes += static_cast<std::uint64_t>(standing);
    if (standing > 0) LegalMoveFound = true;
    return true;
}

template <bool Regular> int ChessEngine::AlphaBeta(int alpha, int beta, int depth) {
    if (FStopRequested.load(std::memory_order_relaxed)) return 0;
    if (depth == 0) return Quiescence<Regular>(alpha, beta);
    ++FNodes;
    // Past the capacity of the ply tables or the move list the node is scored statically.
    if (AtCapacityLimit()) return StaticScore(alpha, beta);
    const int ply = FPly;
    FPvLength[static_cast<std::size_t>(ply)] = ply;
    const bool inCheck = InCheck<Regular>(FSide);
    NoteCheck<Regular>(inCheck);
    if (inCheck) ++depth;
    GenerateMoves();
    if (FFollowPv) MarkPvMove();

    bool legalMoveFound = false;
    const int last = FLast[static_cast<std::size_t>(ply)];
    for (int i = FFirst[static_cast<std::size_t>(ply)]; i < last; ++i) {
        if (FStopRequested.load(std::memory_order_relaxed)) break;
        SelectBest(FMoveList.data() + i, FMoveList.data() + last);
        const EngineMove move = FMoveList[static_cast<std::size_t>(i)].Move;
        // In check most moves leave the check standing; DoMove would refuse them the same way.
        if (inCheck && !MightEndCheck(move)) continue;
        int x = 0;
        if (depth == 1 && !FStopRequested.load(std::memory_order_relaxed)) {
            // The child is a quiescence node; after a stop it is left to AlphaBeta, which answers 0 at once.
            if (!QuiescenceChild<Regular>(move, alpha, beta, x)) continue;
        } else {
            if (!DoMove<Regular>(move)) continue;
            x = -AlphaBeta<Regular>(-beta, -alpha, depth - 1);
            UndoMove();
        }
        legalMoveFound = true;
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

template <bool Regular> int ChessEngine::Quiescence(int alpha, int beta) {
    const int ply = FPly;
    const std::int8_t knownCheck = FKnownCheck[static_cast<std::size_t>(ply)];
    FKnownCheck[static_cast<std::size_t>(ply)] = -1;
    // A position crowded with captures can keep the capture search going for hours; a stop must end it,
    // or the window that waits for the engine hangs. The answer is thrown away after a stop.
    if (FStopRequested.load(std::memory_order_relaxed)) return alpha;
    ++FQNodes;
    if (AtCapacityLimit()) return StaticScore(alpha, beta);
    FPvLength[static_cast<std::size_t>(ply)] = ply;
    const bool inCheck = knownCheck >= 0 ? knownCheck != 0 : InCheck<Regular>(FSide);
    NoteCheck<Regular>(inCheck);
    const bool evasions = inCheck && (Regular || FInCheckAtPly[static_cast<std::size_t>(ply)] == 2);
    std::array<int, MaxOrderedEvasions> order;
    int ordered = -1;
    // The score of the tied candidates where their order stops short.
    std::int32_t tieScore = NoTie;
    if (evasions) {
        // Mostly the candidates alone give the order, or the first part of it; the whole list is made when
        // they cannot, or to mark the principal variation's move in it.
        if (!FFollowPv) {
            GenerateEvasionCandidates();
            ordered = OrderCandidatesByScore(order, tieScore);
        }
        if (ordered < 0) {
            GenerateEvasions();
            if (FFollowPv) MarkPvMove();
            ordered = OrderEvasions(order);
        }
    } else {
        if (inCheck) {
            GenerateMoves();
        } else {
            const int x = knownCheck >= 0 ? FKnownEval[static_cast<std::size_t>(ply)] : Evaluate();
            if (x >= beta) return beta;
            if (x > alpha) alpha = x;
            GenerateCaptures();
        }
        if (FFollowPv) MarkPvMove();
    }

    // One loop for both orders, so that trying a move is written out once, in place.
    bool legalMoveFound = false;
    for (std::int32_t skipAbove = NoTie;;) {
        const int first = FFirst[static_cast<std::size_t>(ply)];
        const int last = FLast[static_cast<std::size_t>(ply)];
        const int count = ordered >= 0 ? ordered : last - first;
        for (int k = 0; k < count; ++k) {
            int i = first + k;
            if (ordered >= 0) {
                i = order[static_cast<std::size_t>(k)];
            } else {
                SelectBest(FMoveList.data() + i, FMoveList.data() + last);
                // In check most moves leave the check standing; DoMove would refuse them the same way.
                if (inCheck && !MightEndCheck(FMoveList[static_cast<std::size_t>(i)].Move)) continue;
            }
            const MoveEntry entry = FMoveList[static_cast<std::size_t>(i)];
            if (entry.Score > skipAbove) continue;
            const EngineMove move = entry.Move;
            int x = 0;
            if (!QuiescenceChild<Regular>(move, alpha, beta, x)) continue;
            legalMoveFound = true;
            if (x <= alpha) continue;
            if (x >= beta) return beta;
            alpha = x;
            CopyPvFromChild(move);
        }
        if (tieScore == NoTie) break;
        if (CountStandingPat<Regular>(tieScore, alpha, legalMoveFound)) break;
        // The tied moves and those below them come in the order of the whole list; the moves above them have
        // been tried.
        skipAbove = tieScore;
        tieScore = NoTie;
        GenerateEvasions();
        ordered = OrderEvasions(order);
    }
    if (inCheck && !legalMoveFound) return ply - Infinity;
    return alpha;
}

// The search reaches the regular versions from ThinkMove; the tests also call these.
template int ChessEngine::AlphaBeta<false>(int, int, int);
template int ChessEngine::Quiescence<false>(int, int);
template void ChessEngine::NoteCheck<false>(bool);
