// ChessGame: the position and its setters, square helpers, move legality, king attacks and repetition.
#include "ChessGame.h"

#include "Castling.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int ColourOf(char c) {
    if (c >= 'B' && c <= 'R') return 1;
    if (c >= 'b' && c <= 'r') return 0;
    return -1;
}

constexpr bool OnBoard(int s) {
    return s >= 1 && s <= 64;
}
constexpr int FileIndex(int s) {
    return (s - 1) % 8 + 1;
}
constexpr int RankIndex(int s) {
    return 8 - (s - 1) / 8;
}
constexpr int SquareIndex(int file, int rank) {
    return (file < 1 || file > 8 || rank < 1 || rank > 8) ? 0 : (8 - rank) * 8 + file;
}
constexpr int Sign(int v) {
    return (v > 0) - (v < 0);
}

constexpr int KnightSteps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
constexpr int KingSteps[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
constexpr int DiagonalSteps[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
constexpr int StraightSteps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

// Is the king of the given colour on square k attacked in board b (indices 1..64)?
bool Attacked(const char* b, int k, bool whiteKing) {
    const int f = FileIndex(k), r = RankIndex(k);
    const char pawn = whiteKing ? 'p' : 'P';
    const char knight = whiteKing ? 'n' : 'N';
    const char bishop = whiteKing ? 'b' : 'B';
    const char rook = whiteKing ? 'r' : 'R';
    const char queen = whiteKing ? 'q' : 'Q';
    const char king = whiteKing ? 'k' : 'K';
    auto holds = [b](int file, int rank, char letter) {
        const int s = SquareIndex(file, rank);
        return s != 0 && b[s] == letter;
    };
    const int pawnRank = whiteKing ? r + 1 : r - 1;
    if (holds(f - 1, pawnRank, pawn) || holds(f + 1, pawnRank, pawn)) return true;
    for (const auto& step : KnightSteps)
        if (holds(f + step[0], r + step[1], knight)) return true;
    auto rayHits = [&](const int(&steps)[4][2], char slider) {
        for (const auto& step : steps) {
            for (int n = 1; n <= 7; ++n) {
                const int s = SquareIndex(f + n * step[0], r + n * step[1]);
                if (s == 0) break;
                const char c = b[s];
                if (ColourOf(c) == -1) continue;
                if (c == slider || c == queen || (n == 1 && c == king)) return true;
                break;
            }
        }
        return false;
    };
    return rayHits(DiagonalSteps, bishop) || rayHits(StraightSteps, rook);
}

constexpr char InitialPosition[] = "rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR";

} // namespace

ChessGame::ChessGame() {
    ResetGame();
}

void ChessGame::CopyInitialPosition() {
    ReadPosition("init", FBoard);
}

std::string ChessGame::GetPosition() const {
    return std::string(FBoard + 1);
}

void ChessGame::ReadPosition(std::string_view Value, char (&Board)[66]) {
    std::memset(Board, ' ', 65);
    Board[65] = '\0';
    auto is = [Value](std::string_view word) {
        return Value.size() == word.size() && std::equal(Value.begin(), Value.end(), word.begin(),
                                                         [](char a, char b) { return AsciiLower(a) == b; });
    };
    if (is("init") || is("newgame")) {
        Board[0] = '_';
        std::memcpy(Board + 1, InitialPosition, 64);
        return;
    }
    const std::size_t count = std::min<std::size_t>(64, Value.size());
    for (std::size_t i = 0; i < count; ++i) {
        const char c = Value[i];
        if (c == '\0') break;
        if (std::strchr(" PNBRQKpnbrqk", c) != nullptr) Board[i + 1] = c;
    }
}

void ChessGame::SetPosition(std::string_view Value) {
    StopThinking();
    ReadPosition(Value, FBoard);
    Paint();
}

ChessGame::PositionFault ChessGame::CheckPosition(std::string_view Position, bool WhiteToMove) {
    char board[66];
    ReadPosition(Position, board);
    int kings[2] = {0, 0};
    int kingSquare[2] = {0, 0};
    for (int s = 1; s <= 64; ++s) {
        const char c = board[s];
        if (c == 'K' || c == 'k') {
            const int colour = c == 'K' ? 1 : 0;
            ++kings[colour];
            kingSquare[colour] = s;
        }
        if ((c == 'P' || c == 'p') && (RankIndex(s) == 1 || RankIndex(s) == 8))
            return PositionFault::PawnOnEdgeRank;
    }
    if (kings[0] != 1 || kings[1] != 1) return PositionFault::KingCount;
    // The side that has just moved may not have left its own king attacked.
    const bool waitingWhite = !WhiteToMove;
    if (Attacked(board, kingSquare[waitingWhite ? 1 : 0], waitingWhite))
        return PositionFault::OpponentInCheck;
    return PositionFault::None;
}

ChessGame::PositionFault ChessGame::CheckPosition() const {
    return CheckPosition(std::string_view(FBoard + 1, 64), FWhiteToMove);
}

void ChessGame::SetWhiteToMove(bool Value) {
    StopThinking();
    FWhiteToMove = Value;
}

void ChessGame::SetCurrentMove(int) {}

void ChessGame::SetEnPassant(Square Value) {
    if ((Value >= A6 && Value <= H6) || (Value >= A3 && Value <= H3)) {
        StopThinking();
        FEnPassant = Value;
    }
}

int ChessGame::FileOf(Square S) {
    return FileIndex(S);
}
int ChessGame::RankOf(Square S) {
    return RankIndex(S);
}
Square ChessGame::SquareOf(int File, int Rank) {
    return static_cast<Square>(SquareIndex(File, Rank));
}

Square ChessGame::SquareFromName(std::string_view Name) {
    if (Name.size() != 2) return None;
    const char file = AsciiLower(Name[0]);
    const char rank = Name[1];
    if (file < 'a' || file > 'h' || rank < '1' || rank > '8') return None;
    return SquareOf(file - 'a' + 1, rank - '0');
}

bool ChessGame::IsLightSquare(Square S) {
    return (S - 1) % 2 == ((S - 1) / 8) % 2;
}

int ChessGame::PieceColor(Square S) const {
    return S <= 65 ? ColourOf(FBoard[S]) : -1;
}

bool ChessGame::IsLegalMove(Square FromSq, Square ToSq) const {
    // The cheap tests first; the answer is the same as with the repetition test in front.
    return LegalIgnoringRepetition(FromSq, ToSq) && !IsThreefoldRepetition();
}

bool ChessGame::LegalIgnoringRepetition(Square FromSq, Square ToSq) const {
    if (!OnBoard(FromSq) || !OnBoard(ToSq)) return false;
    const int mover = PieceColor(FromSq);
    if (mover != (FWhiteToMove ? 1 : 0) || mover == PieceColor(ToSq)) return false;
    bool valid = true;
    switch (FBoard[FromSq]) {
    case 'P':
    case 'p':
        valid = PawnMoveValid(FromSq, ToSq);
        break;
    case 'N':
    case 'n':
        valid = KnightMoveValid(FromSq, ToSq);
        break;
    case 'B':
    case 'b':
        valid = BishopMoveValid(FromSq, ToSq);
        break;
    case 'R':
    case 'r':
        valid = RookMoveValid(FromSq, ToSq);
        break;
    case 'Q':
    case 'q':
        valid = QueenMoveValid(FromSq, ToSq);
        break;
    case 'K':
    case 'k':
        valid = KingMoveValid(FromSq, ToSq);
        break;
    default:
        break;
    }
    return valid && !KingAttackedAfter(mover == 1, FromSq, ToSq, EnPassantVictim(FromSq, ToSq));
}

Square ChessGame::EnPassantVictim(Square FromSq, Square ToSq) const {
    // Mirrors the removal that PerformMove makes, so the own-king test sees the board as it will be.
    if (ToSq == None || ToSq != FEnPassant) return None;
    if (FBoard[FromSq] == 'P' && RankIndex(ToSq) == 6) return static_cast<Square>(ToSq + 8);
    if (FBoard[FromSq] == 'p' && RankIndex(ToSq) == 3) return static_cast<Square>(ToSq - 8);
    return None;
}

bool ChessGame::HasLegalMove() const {
    return HasReply() && !IsThreefoldRepetition();
}

bool ChessGame::HasReply() const {
    const int side = FWhiteToMove ? 1 : 0;
    for (int s = 1; s <= 64; ++s)
        if (ColourOf(FBoard[s]) == side && HasLegalDestination(static_cast<Square>(s))) return true;
    return false;
}

bool ChessGame::HasLegalDestination(Square FromSq) const {
    // Only squares the piece's movement test can accept are tried; each still gets the full test.
    const int f = FileIndex(FromSq), r = RankIndex(FromSq);
    auto legalAt = [&](int file, int rank) {
        const int to = SquareIndex(file, rank);
        return to != 0 && LegalIgnoringRepetition(FromSq, static_cast<Square>(to));
    };
    auto anyStep = [&](const auto& steps) {
        for (const auto& step : steps)
            if (legalAt(f + step[0], r + step[1])) return true;
        return false;
    };
    auto anyRay = [&](const int(&steps)[4][2]) {
        for (const auto& step : steps) {
            for (int n = 1; n <= 7; ++n) {
                const int to = SquareIndex(f + n * step[0], r + n * step[1]);
                if (to == 0) break;
                if (LegalIgnoringRepetition(FromSq, static_cast<Square>(to))) return true;
                if (ColourOf(FBoard[to]) != -1) break;
            }
        }
        return false;
    };
    switch (FBoard[FromSq]) {
    case 'P':
    case 'p': {
        const int dir = FBoard[FromSq] == 'P' ? 1 : -1;
        return legalAt(f, r + dir) || legalAt(f - 1, r + dir) || legalAt(f + 1, r + dir) ||
               legalAt(f, r + 2 * dir);
    }
    case 'N':
    case 'n':
        return anyStep(KnightSteps);
    case 'B':
    case 'b':
        return anyRay(DiagonalSteps);
    case 'R':
    case 'r':
        return anyRay(StraightSteps);
    case 'Q':
    case 'q':
        return anyRay(DiagonalSteps) || anyRay(StraightSteps);
    case 'K':
    case 'k':
        if (anyStep(KingSteps)) return true;
        // The castling table is keyed by squares, so any king on E1 or E8 may try it.
        for (const CastlingMove& castling : CastlingMoves)
            if (castling.KingFrom == FromSq && LegalIgnoringRepetition(FromSq, castling.KingTo)) return true;
        return false;
    default:
        // A letter without a movement test may go anywhere its king allows.
        for (int to = 1; to <= 64; ++to)
            if (LegalIgnoringRepetition(FromSq, static_cast<Square>(to))) return true;
        return false;
    }
}

bool ChessGame::IsThreefoldRepetition() const {
    // Compared with the board itself: the entry of the current pair may still hold an older position.
    const long index = (static_cast<long>(FCurrentMove) - 1) * 2 + (FWhiteToMove ? 0 : 1);
    const long end = std::min<long>(index, static_cast<long>(FHistory.size()));
    int count = 0;
    for (long i = 0; i < end; ++i) {
        const HistoryEntry& entry = FHistory[static_cast<std::size_t>(i)];
        if (entry.HasPosition && std::memcmp(entry.Position.data(), FBoard + 1, 64) == 0 && ++count >= 2)
            return true;
    }
    return false;
}

bool ChessGame::WhiteKingAttacked(Square FromSq, Square ToSq) const {
    return KingAttackedAfter(true, FromSq, ToSq, None);
}

bool ChessGame::BlackKingAttacked(Square FromSq, Square ToSq) const {
    return KingAttackedAfter(false, FromSq, ToSq, None);
}

bool ChessGame::KingAttackedAfter(bool WhiteKing, Square FromSq, Square ToSq, Square Removed) const {
    char board[66];
    std::memcpy(board, FBoard, sizeof board);
    if (OnBoard(FromSq) && OnBoard(ToSq)) {
        const char moving = board[FromSq];
        board[FromSq] = ' ';
        board[ToSq] = moving;
    }
    if (OnBoard(Removed)) board[Removed] = ' ';
    const void* king = std::memchr(board + 1, WhiteKing ? 'K' : 'k', 64);
    // Without its king white is never attacked, black always.
    if (king == nullptr) return !WhiteKing;
    return Attacked(board, static_cast<int>(static_cast<const char*>(king) - board), WhiteKing);
}

bool ChessGame::PawnMoveValid(Square FromSq, Square ToSq) const {
    if (!OnBoard(FromSq) || !OnBoard(ToSq)) return false;
    const int colour = PieceColor(FromSq);
    if (colour == -1) return false;
    const int dir = colour == 1 ? 1 : -1;
    const int df = std::abs(FileIndex(ToSq) - FileIndex(FromSq));
    const int fromRank = RankIndex(FromSq), toRank = RankIndex(ToSq);
    if (toRank == fromRank + dir) {
        if (df == 0) return PieceColor(ToSq) == -1;
        if (df == 1) return PieceColor(ToSq) == 1 - colour || ToSq == FEnPassant;
        return false;
    }
    const int homeRank = colour == 1 ? 2 : 7;
    return fromRank == homeRank && toRank == fromRank + 2 * dir && df == 0 && PieceColor(ToSq) == -1 &&
           PieceColor(static_cast<Square>((FromSq + ToSq) / 2)) == -1;
}

bool ChessGame::KnightMoveValid(Square FromSq, Square ToSq) const {
    if (!OnBoard(FromSq) || !OnBoard(ToSq)) return false;
    const int df = std::abs(FileIndex(ToSq) - FileIndex(FromSq));
    const int dr = std::abs(RankIndex(ToSq) - RankIndex(FromSq));
    return (df == 2 && dr == 1) || (df == 1 && dr == 2);
}

bool ChessGame::SlideReaches(Square FromSq, Square ToSq, bool Diagonal) const {
    if (!OnBoard(FromSq) || !OnBoard(ToSq)) return false;
    const int ff = FileIndex(FromSq), fr = RankIndex(FromSq);
    const int df = FileIndex(ToSq) - ff, dr = RankIndex(ToSq) - fr;
    if (Diagonal ? (df == 0 || std::abs(df) != std::abs(dr)) : ((df != 0) == (dr != 0))) return false;
    const int sf = Sign(df), sr = Sign(dr);
    const int distance = std::max(std::abs(df), std::abs(dr));
    for (int n = 1; n < distance; ++n)
        if (ColourOf(FBoard[SquareIndex(ff + n * sf, fr + n * sr)]) != -1) return false;
    const int target = PieceColor(ToSq);
    return target == -1 || target != PieceColor(FromSq);
}

bool ChessGame::BishopMoveValid(Square FromSq, Square ToSq) const {
    return SlideReaches(FromSq, ToSq, true);
}

bool ChessGame::RookMoveValid(Square FromSq, Square ToSq) const {
    return SlideReaches(FromSq, ToSq, false);
}

bool ChessGame::QueenMoveValid(Square FromSq, Square ToSq) const {
    return BishopMoveValid(FromSq, ToSq) || RookMoveValid(FromSq, ToSq);
}

bool ChessGame::KingMoveValid(Square FromSq, Square ToSq) const {
    if (!OnBoard(FromSq) || !OnBoard(ToSq)) return false;
    const int df = std::abs(FileIndex(ToSq) - FileIndex(FromSq));
    const int dr = std::abs(RankIndex(ToSq) - RankIndex(FromSq));
    return (df <= 1 && dr <= 1) || CastlingValid(FromSq, ToSq);
}

bool ChessGame::CastlingValid(Square FromSq, Square ToSq) const {
    const CastlingMove* castling = CastlingByKingTarget(ToSq);
    if (castling == nullptr || castling->KingFrom != FromSq) return false;
    if (!FCastlingAllowed.Contains(castling->Right) || FBoard[castling->RookFrom] != castling->Rook)
        return false;
    for (Square s : castling->Between)
        if (s != None && PieceColor(s) != -1) return false;
    if (KingAttackedAfter(castling->White, FromSq, FromSq, None)) return false;
    for (Square s : castling->KingPath)
        if (KingAttackedAfter(castling->White, FromSq, s, None)) return false;
    return true;
}
