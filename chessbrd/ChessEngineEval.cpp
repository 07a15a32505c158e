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
            kingFile = s & 7;
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
            kingFile = s & 7;
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
}

int ChessEngine::Evaluate() const {
    int score[2] = {0, 0};
    // Pawns per file, with an empty file beyond each edge: index file + 1.
    int pawns[2][10] = {};
    for (int c = White; c <= Black; ++c) {
        const auto& values = FPieceSquare[static_cast<std::size_t>(c)];
        std::uint64_t bits = FOccupied[static_cast<std::size_t>(c)];
        while (bits != 0) {
            const int s = std::countr_zero(bits);
            bits &= bits - 1;
            const int piece = FPiece[static_cast<std::size_t>(s)];
            score[c] += values[static_cast<std::size_t>(piece)][static_cast<std::size_t>(s)];
            if (piece == Pawn) ++pawns[c][(s & 7) + 1];
        }
    }
    for (int c = White; c <= Black; ++c) {
        const int o = 1 - c;
        std::uint64_t bits = FOccupied[static_cast<std::size_t>(c)];
        while (bits != 0) {
            const int s = std::countr_zero(bits);
            bits &= bits - 1;
            const int piece = FPiece[static_cast<std::size_t>(s)];
            const int f = (s & 7) + 1;
            if (piece == Pawn) {
                if (pawns[c][f] > 1) score[c] -= 5;
                if (pawns[c][f - 1] == 0 && pawns[c][f + 1] == 0) {
                    score[c] -= 20;
                    if (pawns[o][f] == 0) score[c] -= 10;
                }
                if (pawns[o][f - 1] == 0 && pawns[o][f] == 0 && pawns[o][f + 1] == 0)
                    score[c] +=
                        2 * FPieceSquare[static_cast<std::size_t>(c)][Pawn][static_cast<std::size_t>(s)];
            } else if (piece == Rook) {
                if (pawns[c][f] == 0) {
                    score[c] += 10;
                    if (pawns[o][f] == 0) score[c] += 5;
                }
            }
        }
    }
    return FSide == White ? score[White] - score[Black] : score[Black] - score[White];
}
