// ChessEngine: the constant tables, taking the root position in and giving the engine board back out.
#include "ChessEngine.h"

#include "Castling.h"

#include <bit>

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
    FKnownCheck.fill(-1);
}

void ChessEngine::FillAttackTables() {
    for (int sq = 0; sq < 64; ++sq) {
        const auto q = static_cast<std::size_t>(sq);
        for (int s = 0; s < 64; ++s) {
            const std::uint64_t bit = std::uint64_t{1} << s;
            if ((FileOfSquare(s) != 0 && s - 9 == sq) || (FileOfSquare(s) != 7 && s - 7 == sq))
                PawnAttackers[White][q] |= bit;
            if ((FileOfSquare(s) != 0 && s + 7 == sq) || (FileOfSquare(s) != 7 && s + 9 == sq))
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
        for (std::size_t d = 0; d < 8; ++d)
            for (std::uint64_t ray = Rays[d][q]; ray != 0; ray &= ray - 1)
                LineDirection[q][static_cast<std::size_t>(std::countr_zero(ray))] =
                    static_cast<std::uint8_t>(d);
        StraightLines[q] = Rays[1][q] | Rays[3][q] | Rays[4][q] | Rays[6][q];
    }
    // Every square a piece on a square may move to, whatever stands around it; pawns of either colour.
    for (std::size_t q = 0; q < 64; ++q) {
        std::uint64_t pawn = KingAttackers[q];
        if (q >= 16) pawn |= std::uint64_t{1} << (q - 16);
        if (q < 48) pawn |= std::uint64_t{1} << (q + 16);
        PieceReach[Pawn][q] = pawn;
        PieceReach[Knight][q] = KnightAttackers[q];
        PieceReach[Bishop][q] = DiagonalLines[q];
        PieceReach[Rook][q] = StraightLines[q];
        PieceReach[Queen][q] = DiagonalLines[q] | StraightLines[q];
        PieceReach[King][q] = KingAttackers[q];
        for (std::size_t c = White; c <= Black; ++c) {
            ContactChecks[c][Pawn][q] = PawnAttackers[c][q];
            ContactChecks[c][Knight][q] = KnightAttackers[q];
            ContactChecks[c][King][q] = KingAttackers[q];
        }
        LineChecks[Bishop][q] = DiagonalLines[q];
        LineChecks[Rook][q] = StraightLines[q];
        LineChecks[Queen][q] = DiagonalLines[q] | StraightLines[q];
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
        }
        if (piece == King) {
            if (kingCount[colour]++ == 0) FKingSquare[static_cast<std::size_t>(colour)] = s;
        }
    }
    FScanForKings = kingCount[White] > 1 || kingCount[Black] > 1;

    FSide = FRoot.WhiteToMove ? White : Black;
    FXSide = 1 - FSide;
    FRegular = kingCount[White] == 1 && kingCount[Black] == 1 &&
               !IsAttacked(FKingSquare[static_cast<std::size_t>(FXSide)], FSide);

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
    FKnownCheck.fill(-1);
    PrepareEvaluation();
    for (auto& row : FHistoryScore) row.fill(0);
    FNodes = 0;
    FQNodes = 0;
    FHasBestMove = false;
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
        text += static_cast<char>('a' + FileOfSquare(sq));
        text += static_cast<char>('8' - sq / 8);
    }
    if (Move.Flags & mfPromotion) text += "pnbrqk"[Move.Promote];
    return text;
}
