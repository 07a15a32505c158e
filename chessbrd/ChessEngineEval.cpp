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

// The squares of Bits and every square of the same file towards square 0 (a8), or towards square 63 (h1).
constexpr std::uint64_t FillTowardsA8(std::uint64_t Bits) {
    Bits |= Bits >> 8;
    Bits |= Bits >> 16;
    return Bits | (Bits >> 32);
}
constexpr std::uint64_t FillTowardsH1(std::uint64_t Bits) {
    Bits |= Bits << 8;
    Bits |= Bits << 16;
    return Bits | (Bits << 32);
}

} // namespace

// The pawn-structure scores and, for the rooks, the squares of the files holding pawns of each colour.
void ChessEngine::FillPawnEntry(PawnEntry& Entry, std::uint64_t WhitePawns, std::uint64_t BlackPawns) const {
    Entry.WhitePawns = WhitePawns;
    Entry.BlackPawns = BlackPawns;
    Entry.Score = PawnStructure(WhitePawns, BlackPawns);
    Entry.FilesWithPawns = {static_cast<std::uint8_t>(FilesOf(WhitePawns)),
                            static_cast<std::uint8_t>(FilesOf(BlackPawns))};
}

// Worked out for all pawns of a colour at once, file by file: a pawn shares its file (-5), has no own pawn on
// a file beside it (-20, and -10 more with no enemy pawn on its own file), or has no enemy pawn on its file
// or beside it (twice its prepared value).
std::array<int, 2> ChessEngine::PawnStructure(std::uint64_t WhitePawns, std::uint64_t BlackPawns) const {
    std::array<int, 2> score = {0, 0};
    const std::uint64_t pawnBits[2] = {WhitePawns, BlackPawns};
    const unsigned files[2] = {FilesOf(WhitePawns), FilesOf(BlackPawns)};
    // Squares of the files whose bits are set in Files.
    auto squaresOf = [](unsigned Files) { return Files * EngineFileA; };
    auto besideOf = [](unsigned Files) { return ((Files << 1) | (Files >> 1)) & 0xFFu; };
    for (int c = White; c <= Black; ++c) {
        const std::uint64_t pawns = pawnBits[c];
        const unsigned own = files[c];
        const unsigned other = files[1 - c];
        // A pawn with another own pawn on a lower or a higher square of its file.
        const std::uint64_t doubled = pawns & (FillTowardsH1(pawns << 8) | FillTowardsA8(pawns >> 8));
        const unsigned isolatedFiles = own & ~besideOf(own);
        const std::uint64_t isolated = pawns & squaresOf(isolatedFiles);
        const std::uint64_t isolatedOpen = pawns & squaresOf(isolatedFiles & ~other);
        int total =
            -5 * CountSquares(doubled) - 20 * CountSquares(isolated) - 10 * CountSquares(isolatedOpen);
        const auto& pawnValues = FPieceSquare[static_cast<std::size_t>(c)][Pawn];
        for (std::uint64_t passed = pawns & ~squaresOf(other | besideOf(other)); passed != 0;
             passed &= passed - 1)
            total += 2 * pawnValues[static_cast<std::size_t>(std::countr_zero(passed))];
        score[static_cast<std::size_t>(c)] = total;
    }
    return score;
}
