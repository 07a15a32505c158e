// ChessEngine: evaluation tables, the per-search preparation of the piece-square values, and Evaluate.
#include "ChessEngine.h"

#include <bit>

void ChessEngine::FillEvaluationTables() {
    PieceValue = {100, 300, 300, 500, 900, 0};
    // Rows run from rank 8 down to rank 1, seen from White.
    PawnTable = {0, 0,  0,  0,   0,   0,  0,  0, //
                 5, 10, 15, 20,  20,  15, 10, 5, //
                 4, 8,  12, 16,  16,  12, 8,  4, //
                 3, 6,  9,  12,  12,  9,  6,  3, //
                 2, 4,  6,  8,   8,   6,  4,  2, //
                 1, 2,  3,  4,   4,   3,  2,  1, //
                 0, 0,  0,  -20, -20, 0,  0,  0, //
                 0, 0,  0,  0,   0,   0,  0,  0};
    MinorTable = {-10, -10, -10, -10, -10, -10, -10, -10, //
                  -10, 0,   0,   0,   0,   0,   0,   -10, //
                  -10, 0,   5,   5,   5,   5,   0,   -10, //
                  -10, 0,   5,   10,  10,  5,   0,   -10, //
                  -10, 0,   5,   10,  10,  5,   0,   -10, //
                  -10, 0,   5,   5,   5,   5,   0,   -10, //
                  -10, 0,   0,   0,   0,   0,   0,   -10, //
                  -20, -20, -20, -20, -20, -20, -20, -20};
    KingEndTable = {-5, -5, -5, -5, -5, -5, -5, -5, //
                    -5, 0,  0,  0,  0,  0,  0,  -5, //
                    -5, 0,  5,  5,  5,  5,  0,  -5, //
                    -5, 0,  5,  10, 10, 5,  0,  -5, //
                    -5, 0,  5,  10, 10, 5,  0,  -5, //
                    -5, 0,  5,  5,  5,  5,  0,  -5, //
                    -5, 0,  0,  0,  0,  0,  0,  -5, //
                    -5, -5, -5, -5, -5, -5, -5, -5};
    KingMiddleTable.fill(-40);
    for (int s = 48; s < 56; ++s) KingMiddleTable[static_cast<std::size_t>(s)] = -20;
    const std::array<int, 8> firstRank = {-10, 0, 10, -20, 0, -20, 10, 0};
    for (int file = 0; file < 8; ++file)
        KingMiddleTable[static_cast<std::size_t>(56 + file)] = firstRank[file];

    ShieldKingside.fill(0);
    ShieldQueenside.fill(0);
    const std::array<int, 3> shieldByRow = {5, 10, 20}; // ranks 4, 3, 2
    for (int i = 0; i < 3; ++i) {
        const int row = 4 + i;
        for (int file = 0; file < 3; ++file) {
            ShieldQueenside[static_cast<std::size_t>(row * 8 + file)] =
                shieldByRow[static_cast<std::size_t>(i)];
            ShieldKingside[static_cast<std::size_t>(row * 8 + 5 + file)] =
                shieldByRow[static_cast<std::size_t>(i)];
        }
    }
}

void ChessEngine::PrepareEvaluation() {
    auto& white = FPieceSquare[White];
    auto& black = FPieceSquare[Black];
    int material[2] = {0, 0};
    for (std::size_t s = 0; s < 64; ++s) {
        const std::size_t m = s ^ 56;
        white[Pawn][s] = PawnTable[s] + PieceValue[Pawn];
        white[Knight][s] = MinorTable[s] + PieceValue[Knight];
        white[Bishop][s] = MinorTable[s] + PieceValue[Bishop];
        white[Rook][s] = PieceValue[Rook];
        white[Queen][s] = PieceValue[Queen];
        black[Pawn][s] = PawnTable[m] + PieceValue[Pawn];
        black[Knight][s] = MinorTable[m] + PieceValue[Knight];
        black[Bishop][s] = MinorTable[m] + PieceValue[Bishop];
        black[Rook][s] = PieceValue[Rook];
        black[Queen][s] = PieceValue[Queen];
        const int piece = FPiece[s];
        if (piece >= Knight && piece <= Queen)
            material[FColor[s]] += PieceValue[static_cast<std::size_t>(piece)];
    }

    // The king's file decides the shield; a side without a king keeps the file found before (file a for
    // White, White's king file for Black), and with several kings the last one in a8..h1 order counts.
    int kingFile = 0;
    for (int s = 0; s < 64; ++s)
        if (FPiece[static_cast<std::size_t>(s)] == King && FColor[static_cast<std::size_t>(s)] == White)
            kingFile = FileOfSquare(s);
    for (std::size_t s = 0; s < 64; ++s) {
        if (material[Black] > 1400) {
            white[King][s] = KingMiddleTable[s];
            if (kingFile >= 5)
                white[Pawn][s] += ShieldKingside[s];
            else if (kingFile <= 2)
                white[Pawn][s] += ShieldQueenside[s];
        } else {
            white[King][s] = KingEndTable[s];
        }
    }
    for (int s = 0; s < 64; ++s)
        if (FPiece[static_cast<std::size_t>(s)] == King && FColor[static_cast<std::size_t>(s)] == Black)
            kingFile = FileOfSquare(s);
    for (std::size_t s = 0; s < 64; ++s) {
        const std::size_t m = s ^ 56;
        if (material[White] > 1400) {
            black[King][s] = KingMiddleTable[m];
            if (kingFile >= 5)
                black[Pawn][s] += ShieldKingside[m];
            else if (kingFile <= 2)
                black[Pawn][s] += ShieldQueenside[m];
        } else {
            black[King][s] = KingEndTable[m];
        }
    }

    for (PawnEntry& entry : FPawnCache) entry = PawnEntry{};
    FScore = {0, 0};
    for (std::size_t s = 0; s < 64; ++s) {
        if (FColor[s] != EmptySquare)
            FScore[static_cast<std::size_t>(FColor[s])] +=
                FPieceSquare[static_cast<std::size_t>(FColor[s])][static_cast<std::size_t>(FPiece[s])][s];
    }
}

namespace {

// Bit f is set when a pawn stands on file f (0 = file a).
constexpr unsigned FilesOf(std::uint64_t Pawns) {
    Pawns |= Pawns >> 32;
    Pawns |= Pawns >> 16;
    Pawns |= Pawns >> 8;
    return static_cast<unsigned>(Pawns & 0xFF);
}

constexpr std::uint64_t FileA = 0x0101010101010101ull;

} // namespace

// The pawn-structure scores and, for the rooks, the squares of the files holding pawns of each colour.
void ChessEngine::FillPawnEntry(PawnEntry& Entry, std::uint64_t WhitePawns, std::uint64_t BlackPawns) const {
    Entry.WhitePawns = WhitePawns;
    Entry.BlackPawns = BlackPawns;
    Entry.Score = PawnStructure(WhitePawns, BlackPawns);
    Entry.FilesWithPawns = {FilesOf(WhitePawns) * FileA, FilesOf(BlackPawns) * FileA};
}

std::array<int, 2> ChessEngine::PawnStructure(std::uint64_t WhitePawns, std::uint64_t BlackPawns) const {
    std::array<int, 2> score = {0, 0};
    const std::uint64_t pawnBits[2] = {WhitePawns, BlackPawns};
    const unsigned files[2] = {FilesOf(WhitePawns), FilesOf(BlackPawns)};
    for (int c = White; c <= Black; ++c) {
        const std::uint64_t ownPawns = pawnBits[c];
        const unsigned own = files[c];
        const unsigned other = files[1 - c];
        const auto& pawnValues = FPieceSquare[static_cast<std::size_t>(c)][Pawn];
        int& total = score[static_cast<std::size_t>(c)];
        std::uint64_t pawns = ownPawns;
        while (pawns != 0) {
            const int s = std::countr_zero(pawns);
            pawns &= pawns - 1;
            const int f = FileOfSquare(s);
            const unsigned file = 1u << f;
            const unsigned beside = (file >> 1) | (file << 1);
            const std::uint64_t onFile = ownPawns & (FileA << f);
            if ((onFile & (onFile - 1)) != 0) total -= 5;
            if ((own & beside) == 0) {
                total -= 20;
                if ((other & file) == 0) total -= 10;
            }
            if ((other & (beside | file)) == 0) total += 2 * pawnValues[static_cast<std::size_t>(s)];
        }
    }
    return score;
}
